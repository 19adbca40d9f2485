#include "platform/htmlview/HtmlImage.h"

namespace htmlview {

const ImageEntry* GetImage(const std::wstring& path) {
  (void)path;
  return nullptr;
}

void DrawImage(HDC dc, const ImageEntry& image, int x, int y, int width, int height) {
  (void)dc;
  (void)image;
  (void)x;
  (void)y;
  (void)width;
  (void)height;
}

}  // namespace htmlview
