// Figures of the HTML view: setting a 200 KB result fragment as inner HTML and
// painting it, and memory while the inner HTML is replaced 10,000 times.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/htmlview/HtmlDom.h"

using namespace htmlview;

namespace {

// A result page fragment shaped like the dictionary renderer's output.
std::wstring ResultFragment(size_t targetChars) {
  std::wstring html;
  int entry = 0;
  while (html.size() < targetChars) {
    html += L"<div id='dict_" + std::to_wstring(entry) + L"' style='padding:4 6 4 6; border-bottom:1px solid #CCCCCC'>";
    html += L"<div id='dict_head_" + std::to_wstring(entry) +
            L"' style='background-color:#EBF1FA; font-weight:bold'><a href='app://dictmenu/1#2'>Dictionary " +
            std::to_wstring(entry) + L"</a></div>";
    for (int sense = 0; sense < 6; ++sense) {
      html += L"<div style='margin:2 0 2 12'><b>" + std::to_wstring(sense + 1) +
              L".</b> <font color='#366AB3'>noun</font> a word that means something &amp; more, "
              L"<i>example sentence with several words in it</i> "
              L"<a href='dict://headword/example'>example</a> <span class='k'>\u4e2d\u6587\u89e3\u91ca</span>"
              L"<sup>2</sup></div>";
    }
    html += L"<table cellpadding='2' cellspacing='0' width='100%'><tr><td nowrap>see also</td>"
            L"<td width='100%'>related entries, synonyms and antonyms</td></tr></table></div>";
    ++entry;
  }
  return html;
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX pmc = {};
  pmc.cb = sizeof(pmc);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc));
  // Wine leaves PrivateUsage at 0; the commit charge says the same here.
  return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
  const int w = 800, h = 600;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(dc, bmp);
  RECT rc = {0, 0, w, h};

  auto doc = Document::Parse(L"<html><head><style>.k{color:#008000}</style></head>"
                             L"<body style='margin:0; font-family:Tahoma; font-size:9pt'>"
                             L"<div id='main_info'></div><div id='main_wnd'></div></body></html>");
  doc->SetViewport(w, h);
  Element* main = doc->GetItem(L"main_wnd");
  std::wstring big = ResultFragment(200 * 1024);

  double best = 1e9, total = 0;
  const int runs = 10;
  for (int i = 0; i < runs; ++i) {
    auto t = std::chrono::steady_clock::now();
    main->SetInnerHtml(big);
    doc->ScrollTo(0, 0);
    doc->Paint(dc, rc);
    double ms = Ms(t);
    best = std::min(best, ms);
    total += ms;
  }
  printf("inner HTML of %zu KB set and painted: best %.1f ms, mean %.1f ms (%d runs, target under 50 ms)\n",
         big.size() * sizeof(wchar_t) / 1024, best, total / runs, runs);
  printf("  page height %d px, %zu elements\n", doc->ContentHeight(), doc->All().size());

  std::wstring small = ResultFragment(4 * 1024);
  size_t first = 0, mid = 0;
  auto t = std::chrono::steady_clock::now();
  for (int i = 1; i <= 10000; ++i) {
    main->SetInnerHtml(small);
    if (i % 10 == 0) doc->Paint(dc, rc);
    if (i == 100) first = PrivateBytes();
    if (i == 5000) mid = PrivateBytes();
  }
  size_t last = PrivateBytes();
  printf("inner HTML replaced 10,000 times (%zu KB each, painted every 10th): %.0f ms\n",
         small.size() * sizeof(wchar_t) / 1024, Ms(t));
  printf("  committed bytes after 100: %zu KB, after 5,000: %zu KB, after 10,000: %zu KB\n", first / 1024, mid / 1024,
         last / 1024);

  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return 0;
}
