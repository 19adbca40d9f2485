// Base64 with the RFC 4648 alphabet over byte strings: no terminator is
// written and no line breaks are made or accepted.
#pragma once

#include <cstdint>

int Base64EncodedLength(int n);
// Characters written: 4 per 3 bytes, the last group padded with "=".
int Base64Encode(uint8_t* out, const uint8_t* in, int n);
// Bytes that the leading alphabet characters of text (at most n) decode to;
// the first character outside the alphabet ("=", a blank, a line break) ends it.
int Base64DecodedLength(const uint8_t* text, int n);
// Decodes those characters; with out null it only counts. Never fails.
int Base64Decode(uint8_t* out, const uint8_t* text, int n);
