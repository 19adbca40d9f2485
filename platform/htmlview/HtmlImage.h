// Images of the pages (PNG and BMP from local paths), cached per path.
#pragma once

#include <windows.h>

#include <string>

namespace htmlview {

struct ImageEntry {
  SIZE size = {0, 0};  // natural size in pixels
};

// The image at a local path, loaded once; null when it cannot be read.
const ImageEntry* GetImage(const std::wstring& path);
void DrawImage(HDC dc, const ImageEntry& image, int x, int y, int width, int height);

}  // namespace htmlview
