// What the image tests share: scratch files and reading an image row by row.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "guictl/OImage.h"

// A scratch file in the temp folder; each test names its own.
inline std::wstring TempImagePath(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + L"quorindo_image_" + name;
}

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

// The pixels, top row first.
inline std::vector<uint32_t> TopDown(const Veltra::COImage& image) {
  std::vector<uint32_t> out;
  for (int y = 0; y < image.GetHeight(); ++y)
    for (int x = 0; x < image.GetWidth(); ++x) out.push_back(image.At(x, y));
  return out;
}
