#include "core/EnvelopeFile.h"

#include <memory>
#include <new>

#include "core/DesCipher.h"
#include "core/FileUtil.h"
#include "core/TextCodec.h"

bool ReadEnvelopeFile(std::string& out, const wchar_t* path, const uint8_t* key) {
  out.clear();
  if (!path || ReadFileToString(out, path) == 0) return false;
  if (key) {
    CDesCipher cipher;
    cipher.SetKey(key, 16);
    const uint8_t* in = reinterpret_cast<const uint8_t*>(out.data());
    int n = cipher.Decrypt(nullptr, in, static_cast<int>(out.size()));
    if (n < 0) return false;
    std::string plain(n, '\0');
    if (n > 0 && cipher.Decrypt(reinterpret_cast<uint8_t*>(&plain[0]), in, static_cast<int>(out.size())) != n)
      return false;
    out.swap(plain);
  }
  const uint8_t* b = reinterpret_cast<const uint8_t*>(out.data());
  if (out.size() % 2 == 1 && out.size() >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
    out.clear();
    return false;
  }
  return true;
}

bool WriteEnvelopeFile(const wchar_t* path, const void* bytes, uint32_t size, const uint8_t* key) {
  if (!path) return false;
  if (!key) return WriteFileReplacing(path, bytes, size);
  CDesCipher cipher;
  cipher.SetKey(key, 16);
  const uint8_t* in = static_cast<const uint8_t*>(bytes);
  int n = cipher.Encrypt(nullptr, in, static_cast<int>(size));
  if (n < 1) return false;
  std::unique_ptr<uint8_t[]> envelope(new (std::nothrow) uint8_t[n]);
  if (!envelope || cipher.Encrypt(envelope.get(), in, static_cast<int>(size)) != n) return false;
  return WriteFileReplacing(path, envelope.get(), static_cast<uint32_t>(n));
}
