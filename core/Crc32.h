// CRC-32 of ISO-HDLC (reflected polynomial 0xEDB88320, as zlib computes it).
#pragma once

#include <cstdint>

// Seed 0 starts a CRC; a previous result as the seed continues it. No bytes
// (null data, a length of 0 or less) leave the seed unchanged, so a CRC built
// from parts is right when a part is empty.
uint32_t Crc32(const uint8_t* data, int length, uint32_t seed);
