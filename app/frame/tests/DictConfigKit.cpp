#include "app/frame/tests/DictConfigKit.h"

#include <cstdint>
#include <cstdio>
#include <cwchar>

#include "core/DesCipher.h"
#include "core/StrUtil.h"

bool WriteDictConfig(const std::wstring& path, const std::wstring& body, const std::wstring& keyText) {
  const std::wstring text = L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\" ?>\n<config>" + body + L"</config>";
  uint8_t key[16] = {};
  for (size_t i = 0; i < 16 && 2 * i + 1 < keyText.size(); ++i)
    if (!HexPairToByte(&key[i], keyText[2 * i], keyText[2 * i + 1])) break;
  CDesCipher cipher;
  cipher.SetKey(key, 16);
  const uint8_t* plain = reinterpret_cast<const uint8_t*>(text.data());
  const int size = cipher.Encrypt(nullptr, plain, static_cast<int>(text.size() * 2));
  std::string envelope(size, '\0');
  cipher.Encrypt(reinterpret_cast<uint8_t*>(&envelope[0]), plain, static_cast<int>(text.size() * 2));
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  const bool written = fwrite(envelope.data(), 1, envelope.size(), f) == envelope.size();
  return fclose(f) == 0 && written;
}

std::wstring DictConfigMember(unsigned id) {
  wchar_t text[64];
  swprintf(text, 64, L"<dict id=\"%x\"><gls id=\"0\" enable=\"y\"/></dict>", id);
  return text;
}
