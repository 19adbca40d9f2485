// Whole files of the program's text stores, plain or inside the "?VKC" cipher
// envelope (16-byte key; null for a plain file). Shared by the configuration
// store and the XML document.
#pragma once

#include <cstdint>
#include <string>

// The file's bytes, deciphered when a key is given. False for a missing or
// empty file, a rejected envelope, and a UTF-16 text (FF FE or FE FF) of odd
// length, whose last unit would be half missing.
bool ReadEnvelopeFile(std::string& out, const wchar_t* path, const uint8_t* key);
// Enciphers when a key is given, then replaces the file through a temporary
// one, so that a failed write leaves the old file whole.
bool WriteEnvelopeFile(const wchar_t* path, const void* bytes, uint32_t size, const uint8_t* key);
