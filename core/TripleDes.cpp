#include "core/TripleDes.h"

#include <cstring>

#include "core/StrUtil.h"

namespace {

constexpr uint8_t kTag[4] = {'?', 'T', 'D', 'C'};

SettingTextKeyReader g_keyReader = nullptr;

// Digits missing from the key text, or a foreign character, leave the
// remaining key bytes zero.
void ReadSettingTextKey(uint8_t key[16]) {
  std::memset(key, 0, 16);
  if (!g_keyReader) return;
  std::wstring text = g_keyReader();
  unsigned digits = static_cast<unsigned>(text.size() < 32 ? text.size() : 32) & ~1u;
  HexToBytes(key, text.c_str(), digits);
  text.assign(text.size(), L'\0');
}

}  // namespace

CTripleDes::CTripleDes() {
  SetKey(nullptr, 0);
}

CTripleDes::~CTripleDes() {
  std::memset(schedules_, 0, sizeof(schedules_));
}

int CTripleDes::SetKey(const uint8_t* key, unsigned length) {
  uint8_t full[24] = {};
  if (key) std::memcpy(full, key, length < 24 ? length : 24);
  for (int i = 0; i < 3; ++i) des::BuildKeySchedule(schedules_[i], full + 8 * i, des::kStandard);
  std::memset(full, 0, sizeof(full));
  return 0;
}

void CTripleDes::CryptBlock(uint8_t block[8], bool decipher) const {
  if (!decipher) {
    des::TransformBlock(block, block, schedules_[0], false, des::kStandard);
    des::TransformBlock(block, block, schedules_[1], true, des::kStandard);
    des::TransformBlock(block, block, schedules_[2], false, des::kStandard);
  } else {
    des::TransformBlock(block, block, schedules_[2], true, des::kStandard);
    des::TransformBlock(block, block, schedules_[1], false, des::kStandard);
    des::TransformBlock(block, block, schedules_[0], true, des::kStandard);
  }
}

void CTripleDes::CryptBlocks(uint8_t* out, const uint8_t* in, unsigned length, bool decipher) const {
  if (!out || !in || length == 0 || length % 8 != 0) return;
  for (unsigned i = 0; i < length; i += 8) {
    std::memmove(out + i, in + i, 8);
    CryptBlock(out + i, decipher);
  }
}

void CTripleDes::EncryptBlocks(uint8_t* out, const uint8_t* in, unsigned length) {
  CryptBlocks(out, in, length, false);
}

void CTripleDes::DecryptBlocks(uint8_t* out, const uint8_t* in, unsigned length) {
  CryptBlocks(out, in, length, true);
}

unsigned CTripleDes::Encrypt(uint8_t* out, const uint8_t* in, unsigned length) {
  if (!in || out == in || length == 0 || length > 0xFFFFFFFFu - 16) return 0;
  unsigned padded = (length + 7) & ~7u;
  if (!out) return padded + kHeaderSize;
  std::memcpy(out, kTag, 4);
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(padded >> (8 * i));
  for (unsigned offset = 0; offset < padded; offset += 8) {
    uint8_t block[8] = {};
    std::memcpy(block, in + offset, length - offset < 8 ? length - offset : 8);
    CryptBlock(block, false);
    std::memcpy(out + kHeaderSize + offset, block, 8);
  }
  return padded + kHeaderSize;
}

unsigned CTripleDes::Decrypt(uint8_t* out, const uint8_t* in, unsigned length) {
  if (!in || out == in || length <= kHeaderSize || (length - kHeaderSize) % 8 != 0) return 0;
  if (std::memcmp(in, kTag, 4) != 0) return 0;
  unsigned stored = in[4] | (in[5] << 8) | (in[6] << 16) | (static_cast<unsigned>(in[7]) << 24);
  if (stored == 0 || stored > length - kHeaderSize) return 0;
  if (!out) return stored;
  for (unsigned offset = 0; offset < stored; offset += 8) {
    uint8_t block[8];
    std::memcpy(block, in + kHeaderSize + offset, 8);
    CryptBlock(block, true);
    std::memcpy(out + offset, block, stored - offset < 8 ? stored - offset : 8);
  }
  return stored;
}

unsigned CTripleDes::EncryptString(std::string& out, const uint8_t* in, unsigned length) {
  out.clear();
  unsigned size = Encrypt(nullptr, in, length);
  if (size == 0) return 0;
  out.resize(size);
  return Encrypt(reinterpret_cast<uint8_t*>(&out[0]), in, length);
}

unsigned CTripleDes::DecryptString(std::string& out, const uint8_t* in, unsigned length) {
  out.clear();
  unsigned size = Decrypt(nullptr, in, length);
  if (size == 0) return 0;
  out.resize(size);
  return Decrypt(reinterpret_cast<uint8_t*>(&out[0]), in, length);
}

void SetSettingTextKeyReader(SettingTextKeyReader reader) {
  g_keyReader = reader;
}

unsigned EncryptSettingText(std::wstring& out, const uint8_t* data, unsigned length) {
  out.clear();
  if (!data || length == 0) return 0;
  uint8_t key[16];
  ReadSettingTextKey(key);
  std::string envelope;
  {
    CTripleDes cipher;
    cipher.SetKey(key, sizeof(key));
    std::memset(key, 0, sizeof(key));
    cipher.EncryptString(envelope, data, length);
  }
  return BytesToHex(out, reinterpret_cast<const uint8_t*>(envelope.data()),
                    static_cast<unsigned>(envelope.size()), true);
}

unsigned DecryptSettingText(std::string& out, const std::wstring& hexText) {
  out.clear();
  if (hexText.size() < 8 || hexText.size() % 2 != 0) return 0;
  std::string envelope(hexText.size() / 2, '\0');
  if (!HexToBytes(reinterpret_cast<uint8_t*>(&envelope[0]), hexText.c_str(),
                  static_cast<unsigned>(hexText.size()))) {
    return 0;
  }
  uint8_t key[16];
  ReadSettingTextKey(key);
  CTripleDes cipher;
  cipher.SetKey(key, sizeof(key));
  std::memset(key, 0, sizeof(key));
  cipher.DecryptString(out, reinterpret_cast<const uint8_t*>(envelope.data()),
                       static_cast<unsigned>(envelope.size()));
  // The envelope keeps only the padded length; drop the UTF-16 NULs of the
  // last block so the text reads back as it was written.
  size_t keep = out.size();
  size_t lastBlock = keep >= 8 ? keep - 8 : 0;
  while (keep >= lastBlock + 2 && keep % 2 == 0 && out[keep - 1] == 0 && out[keep - 2] == 0) keep -= 2;
  out.resize(keep);
  return static_cast<unsigned>(out.size());
}

unsigned BytesToHex(std::wstring& out, const uint8_t* data, unsigned count, bool upperCase) {
  out.clear();
  if (!data || count == 0) return 0;
  const wchar_t* digits = upperCase ? L"0123456789ABCDEF" : L"0123456789abcdef";
  out.resize(2 * static_cast<size_t>(count));
  for (unsigned i = 0; i < count; ++i) {
    out[2 * i] = digits[data[i] >> 4];
    out[2 * i + 1] = digits[data[i] & 15];
  }
  return static_cast<unsigned>(out.size());
}

bool HexToBytes(uint8_t* out, const wchar_t* text, unsigned digitCount) {
  if (!out || !text || digitCount % 2 != 0) return false;
  for (unsigned i = 0; i + 1 < digitCount; i += 2) {
    if (!HexPairToByte(out + i / 2, text[i], text[i + 1])) return false;
  }
  return true;
}
