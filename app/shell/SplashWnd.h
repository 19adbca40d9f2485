// The start-up splash: "splash.bmp" of the image folder, centred, topmost,
// without a taskbar button.
#pragma once

#include "platform/framework/Quorfx.h"

#include <string>

#include "guictl/OImage.h"

class CSplashWnd : public CWnd {
 public:
  // The bitmap shown; the application passes its image folder + "splash.bmp".
  explicit CSplashWnd(const std::wstring& bitmapPath) : m_bitmapPath(bitmapPath) {}

  bool Create(CWnd* parent);
  static bool RegisterWindowClass();
  const Veltra::COImage& GetImage() const { return m_image; }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCTW cs);
  afx_msg BOOL OnEraseBkgnd(CDC* dc);
  DECLARE_MESSAGE_MAP()

 private:
  std::wstring m_bitmapPath;
  Veltra::COImage m_image;
};
