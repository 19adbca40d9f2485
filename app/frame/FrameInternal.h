// What the main frame's own files share: the children's classes and the
// application's stores.
#pragma once

#include "app/frame/MainFrame.h"
#include "app/popup/DlgView.h"
#include "app/popup/WndGrab.h"
#include "app/search/DlgIndex.h"
#include "app/search/DlgInput.h"
#include "app/search/ListWord.h"
#include "app/shell/QuorindoApp.h"
#include "app/views/ResultView.h"
#include "app/views/WebGuide.h"

namespace frame {

// Colours of the frame (COLORREF).
constexpr COLORREF kOuterLine = 0xD09454;
constexpr COLORREF kMiddleLine = 0xEBCEB4;
constexpr COLORREF kInnerLine = 0xF7EBE1;
constexpr COLORREF kClientBack = 0xFAF1EB;
constexpr COLORREF kStatusStrip = 0xF0DDCF;
// The status strip's colour as an opaque image pixel (blue, green, red, alpha).
constexpr uint32_t kStatusStripPixel = 0xFFCFDDF0;

inline std::wstring UiText(const wchar_t* section, const wchar_t* key) {
  return theApp.m_uiText.GetString(section, key, L"");
}
}  // namespace frame
