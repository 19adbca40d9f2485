// Page images go through the program's own image classes: PNG (and its VPH
// form) through CPngImage, BMP through CBmpImage, both into a COImage.
#include "platform/htmlview/HtmlImage.h"

#include <map>
#include <memory>
#include <utility>

#include "core/BmpImage.h"
#include "guictl/ImageFile.h"
#include "guictl/OImage.h"
#include "platform/htmlview/HtmlText.h"

namespace htmlview {

namespace {

struct CachedImage : ImageEntry {
  Veltra::COImage image;
  // Copies at the sizes the pages ask for (icons are drawn many times).
  std::map<std::pair<int, int>, std::unique_ptr<Veltra::COImage>> scaled;
};

std::map<std::wstring, std::unique_ptr<CachedImage>>& Cache() {
  static std::map<std::wstring, std::unique_ptr<CachedImage>> cache;
  return cache;
}

bool EndsWithNoCase(const std::wstring& s, const wchar_t* suffix) {
  size_t n = wcslen(suffix);
  return s.size() >= n && EqualsNoCase(s.substr(s.size() - n), suffix);
}

}  // namespace

const ImageEntry* GetImage(const std::wstring& path) {
  if (path.empty() || path.find(L"://") != std::wstring::npos) return nullptr;
  auto& cache = Cache();
  auto it = cache.find(path);
  if (it != cache.end()) return it->second ? it->second.get() : nullptr;
  auto entry = std::make_unique<CachedImage>();
  CPngImage png;
  CBmpImage bmp;
  CImageFile* first = EndsWithNoCase(path, L".bmp") ? static_cast<CImageFile*>(&bmp) : &png;
  CImageFile* second = first == &bmp ? static_cast<CImageFile*>(&png) : &bmp;
  bool ok = first->ReadFile(path.c_str(), &entry->image, 0) || second->ReadFile(path.c_str(), &entry->image, 0);
  if (!ok || entry->image.IsEmpty()) {
    cache.emplace(path, nullptr);  // not tried again
    return nullptr;
  }
  entry->size = {entry->image.GetWidth(), entry->image.GetHeight()};
  const ImageEntry* raw = entry.get();
  cache.emplace(path, std::move(entry));
  return raw;
}

void DrawImage(HDC dc, const ImageEntry& image, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  auto& img = const_cast<CachedImage&>(static_cast<const CachedImage&>(image));
  Veltra::COImage* source = &img.image;
  if (width != image.size.cx || height != image.size.cy) {
    auto& copy = img.scaled[{width, height}];
    if (!copy) {
      copy = std::make_unique<Veltra::COImage>();
      if (!copy->CreateFilled(width, height, img.image.GetDpi(), 0, 1)) return;
      copy->SetBlendMode(Veltra::COImage::kBlendCopy);
      copy->StretchDraw(0, 0, width, height, img.image, 0, 0, image.size.cx, image.size.cy,
                        Veltra::COImage::kFilterBilinear, 0, 0);
    }
    source = copy.get();
  }
  source->AlphaDraw(dc, x, y, 0, 0, width, height, 0, 0, nullptr);
}

}  // namespace htmlview
