// Where the popup benchmark's target window stands and draws its words.
#pragma once

constexpr wchar_t kTargetClass[] = L"QuorindoBenchPopupTarget";
constexpr int kTargetLeft = 700, kTargetTop = 40, kTargetWidth = 400;
constexpr int kTargetTextLeft = 20, kTargetLineTop = 16, kTargetLineHeight = 48;
