#include "app/frame/LookupPage.h"

#include "core/StrUtil.h"
#include "dict/DictFile.h"
#include "dict/DictGroup.h"
#include "dict/DictManager.h"

namespace {

bool IsHtmlSpace(wchar_t c) { return c == L'\t' || c == L'\n' || c == L' ' || c == L'\r'; }

}  // namespace

void EscapeWordForHtml(std::wstring& out, const wchar_t* word) {
  out.clear();
  if (!word) return;
  bool inSpace = false;
  for (const wchar_t* p = word; *p; ++p) {
    wchar_t c = *p;
    if (IsHtmlSpace(c)) {
      if (c == L'\r' && p[1] == L'\n') c = *++p;
      if (inSpace) {
        out += L"&nbsp;";
      } else {
        out += c;
        inSpace = true;
      }
      continue;
    }
    inSpace = false;
    switch (c) {
      case L'"': out += L"&quot;"; break;
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      default: out += c; break;
    }
  }
}

uint32_t QueryLookup(LookupOutcome& outcome, CDictManager& manager, const wchar_t* word,
                     const std::wstring& noMatchFormat, bool realtimePron) {
  outcome.html.clear();
  outcome.dicts.clear();
  outcome.speak = false;
  if (!word) return 0;
  std::vector<std::wstring> fragments;
  uint32_t n = manager.QueryGroup(outcome.dicts, fragments, word, kGroupQuery);
  for (const std::wstring& fragment : fragments) outcome.html += fragment;
  bool catchAllOnly = n == 1 && outcome.dicts[0] && outcome.dicts[0]->GetId() == kCatchAllDictId;
  if (n == 0 || catchAllOnly) {
    std::wstring escaped;
    EscapeWordForHtml(escaped, word);
    // The escaped word is the one argument; a format without "%s" appends as it is.
    if (!noMatchFormat.empty()) AppendFormatWString(outcome.html, noMatchFormat.c_str(), escaped.c_str());
  } else {
    outcome.speak = realtimePron;
  }
  return n;
}
