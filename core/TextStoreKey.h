// The key of the enciphered UI-text store "system.inc", shared by the
// program and the build tool that writes the shipped file.
#pragma once

#include <cstdint>

// 16 bytes for two-key triple DES; false when the key cannot be built.
bool BuildTextStoreKey(uint8_t key[16]);
