// Sequential reading of a 50 MB block-compressed image through CBlockFile,
// against zlib's own uncompress over the same blocks.
#include "core/BlockFile.h"
#include "core/bench/Bench.h"
#include "core/tests/TestBytes.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Dictionary-like text: words from a small vocabulary in a pseudo-random order.
Bytes MakeText(size_t size) {
  static const char* const kWords[] = {"the ", "word ", "dictionary ", "entry ", "meaning ", "noun ",
                                       "verb ", "example; ", "<b>", "</b>", "translation ", "of ",
                                       "quorindo ", "and ", "phrase, ", "\r\n"};
  Bytes text;
  text.reserve(size);
  uint32_t seed = 12345;
  while (text.size() < size) {
    seed = seed * 1103515245 + 12345;
    const char* word = kWords[(seed >> 16) % 16];
    text.insert(text.end(), word, word + strlen(word));
  }
  text.resize(size);
  return text;
}

// zlib alone: every block uncompressed straight into the output.
double ZlibSeconds(const Bytes& image, Bytes& out, uint32_t blockSize) {
  uint32_t n = static_cast<uint32_t>((out.size() + blockSize - 1) / blockSize);
  const uint8_t* offsets = image.data() + 8;
  const uint8_t* base = offsets + 4 * (n + 1);
  double start = BenchSeconds();
  for (uint32_t i = 0; i < n; ++i) {
    uint32_t begin, end;
    memcpy(&begin, offsets + 4 * i, 4);
    memcpy(&end, offsets + 4 * i + 4, 4);
    uLongf produced = static_cast<uLongf>(std::min<size_t>(blockSize, out.size() - size_t(i) * blockSize));
    uncompress(out.data() + size_t(i) * blockSize, &produced, base + begin, end - begin);
  }
  return BenchSeconds() - start;
}

// The reader: sequential requests of chunk bytes through one slot.
double ReaderSeconds(const Bytes& image, Bytes& out, uint32_t chunk) {
  CBlockFile reader;
  reader.Attach(image.data(), static_cast<uint32_t>(image.size()), 1);
  double start = BenchSeconds();
  uint32_t total = static_cast<uint32_t>(out.size());
  for (uint32_t at = 0; at < total; at += chunk) reader.Read(out.data() + at, at, chunk, 0);
  return BenchSeconds() - start;
}

}  // namespace

QUORINDO_BENCH(BlockFileSequentialRead) {
  const size_t kSize = 50u << 20;
  Bytes data = MakeText(kSize);
  for (uint32_t blockSize : {16u << 10, 64u << 10}) {
    Bytes image = MakeBlockImage(data.data(), data.size(), blockSize);
    printf("image: %u MB in blocks of %u KB, %.1f MB compressed\n", unsigned(kSize >> 20),
           unsigned(blockSize >> 10), image.size() / 1048576.0);
    Bytes viaZlib(kSize), viaReader(kSize);
    double zlib = 1e9, whole = 1e9, small = 1e9;
    for (int run = 0; run < 3; ++run) {
      zlib = std::min(zlib, ZlibSeconds(image, viaZlib, blockSize));
      small = std::min(small, ReaderSeconds(image, viaReader, 4096));
      whole = std::min(whole, ReaderSeconds(image, viaReader, 1u << 20));
    }
    bool same = viaZlib == data && viaReader == data;
    double mb = kSize / 1048576.0;
    printf("  zlib uncompress          %7.1f MB/s\n", mb / zlib);
    printf("  CBlockFile, 4 KB reads   %7.1f MB/s (%.0f%% of zlib)\n", mb / small, 100 * zlib / small);
    printf("  CBlockFile, 1 MB reads   %7.1f MB/s (%.0f%% of zlib)\n", mb / whole, 100 * zlib / whole);
    printf("  output %s\n", same ? "identical" : "DIFFERS");
  }
}
