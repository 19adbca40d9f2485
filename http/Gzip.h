// In-memory gzip decoding (RFC 1952): member by member, each checked by its CRC-32.
#pragma once

#include <cstdint>
#include <string>

// The size the last member's trailer claims, or 0 when the data is not gzip.
uint32_t GzipOriginalSize(const uint8_t* data, uint32_t length);

// Decodes into a caller's buffer of *outLength bytes; stops when it is full.
// 0 on success with *outLength set to the bytes produced; a negative zlib code
// on failure (-3 bad data, header, CRC or truncation; -4 out of memory).
int GunzipMemory(uint8_t* out, uint32_t* outLength, const uint8_t* data, uint32_t length);

// Decodes every member into a string that grows as output arrives, so a lying
// size field costs nothing; fails past maxOutput bytes.
int GunzipToString(std::string& out, const uint8_t* data, uint32_t length, uint32_t maxOutput);
