// The lookup road (WM_LOOKUP_WORD, WM_LOOKUP_REFRESH) and the text-translation
// form's events and results.
#include "app/frame/FrameInternal.h"

#include "app/frame/LookupPage.h"
#include "core/TextCodec.h"
#include "dialogs/options/OptionsDlg.h"
#include "dict/DictFile.h"

using namespace frame;

namespace {

// A language code is Arabic when it is "ar" or "ar" followed by '-', '.' or '_'.
bool IsArabic(const std::wstring& code) { return MatchLanguageCode(L"ar", code.c_str()) > 0; }

}  // namespace

void CMainFrame::PositionIndexList(const wchar_t* word) {
  uint32_t member = 0, position = 0;
  CDictManager* manager = theApp.GetDictManager();
  manager->FindIndexPosition(member, position, word, static_cast<uint32_t>(m_searchBar->GetMenuSelection()));
  CDictFile* dict = manager->GetGroupDict(kGroupIndex, member);
  if (!dict) return;  // an empty index group: nothing to show
  CListWord& list = m_indexPane->GetWordList();
  list.SetSource(dict, member, 0);
  list.SetSelection(static_cast<int>(position), false, false);
  // The word near the middle of the list.
  list.EnsureVisible(0, static_cast<int>(position) - list.GetVisibleRows() / 2 + 1, true);
}

LRESULT CMainFrame::ShowLookupResult(const wchar_t* word, uint32_t flags) {
  if (!word) return 1;
  if (flags & kLookupSetInput) m_searchBar->SetInputText(word, false);
  if (flags & kLookupPositionIndex) PositionIndexList(word);

  LookupOutcome outcome;
  if ((flags & kLookupModeMask) == kLookupQuery) {
    const bool realtimePron = theApp.m_settings.GetBool(L"Speech", L"RealtimePron", false);
    QueryLookup(outcome, *theApp.GetDictManager(), word, UiText(L"WebResult", L"NoMatch"), realtimePron);
  }
  if (flags & kLookupShowResult) {
    m_formActive = false;
    const bool query = (flags & kLookupModeMask) == kLookupQuery;
    m_viewBar->SetResultHtml(outcome.html.c_str(), query ? word : L"", (flags & kLookupScrollTop) != 0);
  }
  if (flags & kLookupFillGuide) m_indexPane->GetGuide().FillResults(outcome.dicts);
  switch (flags & kLookupTabMask) {
    case kLookupTabIndex: m_indexPane->SelectTab(0); break;
    case kLookupTabGuide: m_indexPane->SelectTab(1); break;
    default: break;
  }
  if (flags & kLookupAddHistory) m_searchBar->AddToHistory(word);
  switch (flags & kLookupFocusMask) {
    case kLookupFocusSearch: m_searchBar->GetEdit().SetFocus(); break;
    case kLookupFocusWordList: m_indexPane->GetWordList().SetFocus(); break;
    case kLookupFocusGuide: m_indexPane->GetGuide().SetFocus(); break;
    case kLookupFocusViewBar: m_viewBar->SetFocus(); break;
    default: break;
  }
  if (outcome.speak) theApp.SpeakWord(word, static_cast<uint32_t>(wcslen(word)));
  return 1;
}

LRESULT CMainFrame::RefreshLookup(const wchar_t* word) {
  CListWord& list = m_indexPane->GetWordList();
  if (word) PositionIndexList(word);
  CDictFile* dict = list.GetSource();
  const int member = list.GetSourceIndex();
  const int row = list.GetSelection();
  if (!dict || member < 0 || row < 0) return 1;
  std::wstring key = dict->GetKey(static_cast<uint32_t>(row));
  DictGroupItem* item = theApp.GetDictManager()->GetGroupItem(kGroupIndex, static_cast<uint32_t>(member));
  std::vector<uint32_t> matches;
  dict->FindMatches(matches, key.c_str(), static_cast<int>(key.size()));
  std::wstring html;
  dict->BuildResult(html, matches, key.c_str(), kGroupIndex, item);
  if (!word) m_searchBar->SetInputText(key.c_str(), false);
  m_indexPane->SelectTab(0);
  m_formActive = false;
  m_viewBar->SetResultHtml(html.c_str(), key.c_str(), true);
  m_indexPane->GetGuide().FillResults(std::vector<CDictFile*>{dict});
  return 1;
}

// A language list of the form: codes as values, their names as texts, the
// current code selected (none when absent).
void CMainFrame::FillLanguageSelect(const std::vector<std::wstring>& codes, const std::wstring& current,
                                    const wchar_t* element) {
  CResultView& page = m_viewBar->m_view;
  const CTextTranslator* translator = theApp.GetTextTranslator();
  std::vector<std::wstring> names;
  int selected = -1;
  for (size_t i = 0; i < codes.size(); ++i) {
    names.push_back(translator->LanguageLabel(codes[i]));
    if (codes[i] == current) selected = static_cast<int>(i);
  }
  page.FillSelect(codes, names, element);
  page.SetSelectedIndex(selected, element);
}

LRESULT CMainFrame::OnTextTranslationEvent(const wchar_t* event) {
  const std::wstring name = event ? event : L"";
  CTextTranslator* translator = theApp.GetTextTranslator();
  CResultView& page = m_viewBar->m_view;
  if (name == L"get_focus") {
    m_formActive = true;
    return 1;
  }
  if (name == L"lost_focus") {
    m_formActive = false;
    return 1;
  }
  if (name.empty() || name == L"open") {
    translator->Cancel();
    CDictManager* manager = theApp.GetDictManager();
    CDictFile* dict = manager->FindDict(kCatchAllDictId);
    if (!dict) return 1;
    std::wstring text;
    m_searchBar->GetInputText(text);
    const std::wstring key = text.empty() ? std::wstring(L"*") : text;
    std::wstring entry;
    dict->LookupEntry(entry, key.c_str(), static_cast<int>(key.size()));
    const int32_t member = manager->GroupIndexOf(kGroupQuery, kCatchAllDictId);
    DictGroupItem* item = member >= 0 ? manager->GetGroupItem(kGroupQuery, static_cast<uint32_t>(member)) : nullptr;
    // The entry's text becomes the page; rendering it builds the form.
    dict->BuildTextResult(entry, text.c_str(), kGroupQuery, item);
    m_indexPane->GetGuide().ClearResults();
    m_formActive = false;
    m_viewBar->SetResultHtml(entry.c_str(), text.c_str(), true);
    int32_t all[4] = {1, 1, 1, 1};
    m_viewBar->SendMessage(WM_PAGE_ACTION, 156, reinterpret_cast<LPARAM>(all));
    if (htmlview::Element* source = page.GetTextAreaElement(L"talvane_ftt_textsrc")) {
      source->Focus();
      source->SelectText();
    }
    if (name.empty()) return OnTextTranslationEvent(L"translate");
    return 1;
  }
  if (name == L"set_langsrc") {
    translator->Cancel();
    std::wstring value, chosen;
    int index = -1;
    page.GetSelectValue(value, &index, L"talvane_ftt_langsrc");
    translator->SelectSourceLanguage(chosen, value.c_str());
    std::vector<std::wstring> targets;
    translator->GetTargetLanguages(targets, translator->GetCurrentEngine(), translator->GetSourceLanguage().c_str());
    FillLanguageSelect(targets, translator->GetTargetLanguage(), L"talvane_ftt_langdest");
    return 1;
  }
  if (name == L"set_langdest") {
    translator->Cancel();
    std::wstring value, chosen;
    int index = -1;
    page.GetSelectValue(value, &index, L"talvane_ftt_langdest");
    translator->SelectTargetLanguage(chosen, value.c_str());
    return 1;
  }
  if (name == L"set_engine") {
    translator->Cancel();
    std::wstring value;
    int index = -1;
    page.GetSelectValue(value, &index, L"talvane_ftt_engine");
    if (!translator->SelectEngine(static_cast<uint32_t>(wcstoul(value.c_str(), nullptr, 0)))) return 1;
    CXmlNode* engine = translator->GetCurrentEngine();
    std::vector<std::wstring> sources, targets;
    translator->GetSourceLanguages(sources, engine);
    FillLanguageSelect(sources, translator->GetSourceLanguage(), L"talvane_ftt_langsrc");
    translator->GetTargetLanguages(targets, engine, translator->GetSourceLanguage().c_str());
    FillLanguageSelect(targets, translator->GetTargetLanguage(), L"talvane_ftt_langdest");
    std::wstring copyright;
    translator->GetCopyright(copyright, engine);
    page.SetElementHtml(L"talvane_ftt_copyright", copyright.c_str());
    return 1;
  }
  if (name == L"translate") {
    translator->Cancel();
    htmlview::Element* source = page.GetTextAreaElement(L"talvane_ftt_textsrc");
    if (!source) return 1;
    std::wstring text = source->Value();
    if (text.empty()) return 1;
    m_proxyRetried = false;
    std::wstring waiting;
    translator->BuildUiPage(waiting, L"wait_request", UiText(L"TextTranslation", L"WaitRequest"));
    page.SetElementHtml(L"talvane_ftt_textdest", waiting.c_str());
    page.SetElementDisplay(L"talvane_ftt_textdest", L"");
    // An engine that offers no language pair has nothing to ask for.
    const bool noLanguages = translator->GetSourceLanguage().empty() || translator->GetTargetLanguage().empty();
    if (noLanguages || !translator->Translate(text, m_hWnd, WM_TRANSLATE_DONE)) {
      // Nothing went out, so no end message will replace the waiting page.
      std::wstring failed;
      translator->BuildUiPage(failed, L"err_msg",
                              UiText(L"TextTranslation", noLanguages ? L"NoLanguages" : L"ConnectFailed"));
      page.SetElementHtml(L"talvane_ftt_textdest", failed.c_str());
    }
    return 1;
  }
  return 1;
}

// The proxy asked for credentials: the user is asked through the
// translator's credential callback (the answer stored when they tick the
// box) and the text sent once more with them. Asked here, on this thread,
// after the reply: the HTTP worker never waits for a dialog, so cancelling a
// translation can never wait on one.
bool CMainFrame::RetryWithProxyCredentials(const std::string& realm) {
  CTextTranslator* translator = theApp.GetTextTranslator();
  HttpCredentialCallback ask = translator->GetSessionCredentialCallback();
  if (!ask) return false;
  std::string prompt;
  const std::wstring promptText = UiText(L"TextTranslation", L"ProxyAuthPrompt");
  WStringToUtf8(prompt, promptText.c_str(), -1);
  AuthPromptTexts texts = {realm.c_str(), prompt.c_str()};
  std::string user, password;
  if (!ask(&texts, user, password)) return false;
  translator->SetProxyCredentialsOnce(user, password);
  if (!translator->Translate(translator->GetSourceText(), m_hWnd, WM_TRANSLATE_DONE)) return false;
  m_proxyRetried = true;
  return true;
}

LRESULT CMainFrame::OnTextTranslationResult(WPARAM wParam, LPARAM lParam) {
  CTextTranslator* translator = theApp.GetTextTranslator();
  if (static_cast<uint32_t>(lParam) != translator->GetRequestNumber()) return 1;
  CResultView& page = m_viewBar->m_view;
  const bool retried = m_proxyRetried;
  m_proxyRetried = false;
  std::wstring html;
  std::string realm;
  switch (wParam) {
    case 2:
      page.SetElementDisplay(L"talvane_ftt_textdest", L"none");
      return 1;
    case 3:
      if (translator->IsProxyAuthRequest(static_cast<uint32_t>(lParam), realm)) {
        if (!retried && RetryWithProxyCredentials(realm)) return 1;
        const wchar_t* why = translator->SentProxyCredentials() ? L"ProxyAuthRefused" : L"ProxyAuthRequired";
        translator->BuildUiPage(html, L"err_msg", UiText(L"TextTranslation", why));
        break;
      }
      translator->BuildUiPage(html, L"err_msg", UiText(L"TextTranslation", L"RequestFailed"));
      break;
    case 1:
      translator->BuildUiPage(html, L"err_msg", UiText(L"TextTranslation", L"ConnectFailed"));
      break;
    case 0: {
      const bool parsed = translator->ParseResult(0, static_cast<uint32_t>(lParam));
      std::wstring result;
      translator->GetResultText(result);
      if (parsed) {
        const wchar_t* direction = IsArabic(translator->GetTargetLanguage()) ? L"rtl" : L"ltr";
        html = std::wstring(L"<div dir=\"") + direction + L"\">" + result + L"</div>";
      } else if (!result.empty()) {
        html = result;
      } else {
        // A broken answer (a chunked body that never ends well): no page of
        // its own to show, so the form says the request failed.
        translator->BuildUiPage(html, L"err_msg", UiText(L"TextTranslation", L"RequestFailed"));
      }
      break;
    }
    default:
      return 1;
  }
  page.SetElementHtml(L"talvane_ftt_textdest", html.c_str());
  page.SetElementDisplay(L"talvane_ftt_textdest", L"");
  return 1;
}
