// The HTML views' view of the application, as the index pane tests give it:
// the guide reads its folders and texts from the tests' stores, so the
// program's application object stays out of these tests.
#include "app/search/SearchApp.h"
#include "app/search/tests/SearchTestKit.h"
#include "app/views/ViewsEnv.h"

namespace viewsenv {

std::wstring DataFolder() { return search_test::App().imageFolder; }
std::wstring ImageFolder() { return search_test::App().imageFolder; }
std::wstring IconFolder() { return search_test::App().iconFolder; }
std::wstring UiText(const wchar_t* section, const wchar_t* key, int index) {
  return SearchTexts().GetString(section, key, L"", index);
}
std::wstring Setting(const wchar_t* section, const wchar_t* key) {
  return SearchSettings().GetString(section, key, L"");
}
std::wstring LanguageCode() { return search_test::App().language; }
CWnd* MainWindow() { return AfxGetMainWnd(); }
bool FillUpdateTemplate(std::wstring& out, const wchar_t*) {
  out.clear();
  return false;
}
bool IsStartPageUrl(const std::wstring& url) { return _wcsicmp(url.c_str(), L"about:blank") == 0; }

}  // namespace viewsenv
