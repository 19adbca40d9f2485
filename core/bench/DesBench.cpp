// Throughput of the envelope cipher over a file-sized buffer (the program
// enciphers its configuration and dictionary description files whole).
#include "core/DesCipher.h"
#include "core/bench/Bench.h"

#include <cstdio>
#include <vector>

QUORINDO_BENCH(DesEnvelope) {
  const int kSize = 1 << 20;
  std::vector<uint8_t> plain(kSize, 0x5A), envelope(kSize + 16), back(kSize);
  const uint8_t key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  for (int keyLength : {8, 16}) {
    CDesCipher cipher;
    cipher.SetKey(key, keyLength);
    double start = BenchSeconds();
    int size = cipher.Encrypt(envelope.data(), plain.data(), kSize);
    double middle = BenchSeconds();
    cipher.Decrypt(back.data(), envelope.data(), size);
    double end = BenchSeconds();
    printf("  %s, 1 MB: encipher %.1f MB/s, decipher %.1f MB/s, %s\n",
           keyLength == 8 ? "single DES" : "two-key   ", 1 / (middle - start), 1 / (end - middle),
           back == plain ? "round trip ok" : "ROUND TRIP FAILED");
  }
}
