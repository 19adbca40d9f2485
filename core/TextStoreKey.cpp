#include "core/TextStoreKey.h"

#include <cstring>

#include "core/Md5.h"

// The key is not kept as such in the program file: it is the digest of a
// phrase assembled at run time, so a plain search of the file finds neither.
bool BuildTextStoreKey(uint8_t key[16]) {
  if (!key) return false;
  static const char kParts[][8] = {"Talv", "ane.", "Quor", "indo", "/sys", "tem"};
  char phrase[32] = {};
  for (const char* part : kParts) std::strcat(phrase, part);
  MD5Digest(key, reinterpret_cast<const uint8_t*>(phrase), static_cast<unsigned>(std::strlen(phrase)));
  std::memset(phrase, 0, sizeof(phrase));
  return true;
}
