// The program folder as the build makes it, read where it lies: every text,
// setting, page element, layout piece and image that a window or a renderer
// reads is there, in the form its reader needs. The tables name the readers;
// a row fails with the reader, the store and the key. Nothing is written into
// the folder: what opening a dictionary caches goes to a temporary folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/tests/ShellTestKit.h"
#include "core/BmpImage.h"
#include "core/ConfigFile.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "dialogs/options/OptionsCommon.h"
#include "dict/DictFile.h"
#include "dict/DictGroup.h"
#include "dict/DictResources.h"
#include "guictl/ImageFile.h"
#include "online/OnlineText.h"
#include "platform/htmlview/HtmlDom.h"
#include "tools/DictWriter.h"

namespace {

// The folder the build writes Quorindo.exe and its data into, as a Windows
// path; the environment's QUORINDO_PROGRAM_DIR names another one to check.
std::wstring ProgramFolder() {
  const char* named = getenv("QUORINDO_PROGRAM_DIR");
  std::wstring folder;
  for (const char* p = named && *named ? named : QUORINDO_PROGRAM_DIR; *p; ++p)
    folder.push_back(*p == '/' ? L'\\' : static_cast<wchar_t>(*p));
  if (!folder.empty() && folder[0] == L'\\') folder = L"Z:" + folder;
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder;
}

// The conversions of a printf-style format, in order ("%%" is none); "x" is
// written "X" and "i" "d", as both print alike.
std::string Directives(const std::wstring& format) {
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != L'%') continue;
    size_t j = i + 1;
    while (j < format.size() && wcschr(L"0123456789.-+# lh", format[j])) ++j;
    if (j >= format.size()) break;
    wchar_t c = format[j];
    i = j;
    if (c == L'%') continue;
    out.push_back(c == L'x' ? 'X' : c == L'i' ? 'd' : static_cast<char>(c));
  }
  return out;
}

std::unique_ptr<htmlview::Document> ParsePage(const std::wstring& html) {
  return htmlview::Document::Parse(L"<html><body>" + html + L"</body></html>");
}

// ---- Texts ---------------------------------------------------------------------------

enum class Form {
  kText,    // shown as it is: not empty
  kPair,    // caption, comma, tooltip: both items not empty
  kTooltip, // caption, comma, tooltip: the tooltip not empty (an icon-only button)
  kFormat,  // a printf-style format: exactly the conversions given
  kFilter,  // a file dialog's filter: pairs of "name|pattern"
  kKey32,   // 32 hexadecimal digits (a cipher key)
  kNumber,  // a number with automatic base
};

struct TextRead {
  const wchar_t* reader;
  const wchar_t* section;
  const wchar_t* key;
  Form form;
  const char* conversions;  // kFormat
  const wchar_t* holds;     // texts the value must hold, separated by blanks (or null)
};

const TextRead kTexts[] = {
    // Start-up, the stores' keys and the registry.
    {L"start-up", L"", L"3", Form::kKey32, nullptr, nullptr},
    {L"start-up", L"", L"4", Form::kKey32, nullptr, nullptr},
    {L"dictionary manager", L"", L"10", Form::kNumber, nullptr, nullptr},
    {L"start-up", L"Software", L"ID", Form::kNumber, nullptr, nullptr},
    {L"start-up", L"Software", L"Build", Form::kNumber, nullptr, nullptr},
    {L"start-up", L"Software", L"Name", Form::kText, nullptr, nullptr},
    {L"start-up", L"Software", L"Version", Form::kText, nullptr, nullptr},
    {L"start-up", L"Software", L"Edition", Form::kText, nullptr, nullptr},
    {L"registry", L"RegTab", L"Root", Form::kNumber, nullptr, nullptr},
    {L"registry", L"RegTab", L"SubKey", Form::kText, nullptr, nullptr},
    {L"registry", L"RegTab", L"RunKey", Form::kText, nullptr, nullptr},
    {L"options General", L"FileRelation", L"ExtName", Form::kText, nullptr, L"."},
    {L"options General", L"FileRelation", L"AppKey", Form::kText, nullptr, nullptr},
    {L"options General", L"FileRelation", L"DefaultIcon", Form::kNumber, nullptr, nullptr},
    {L"web links", L"Link", L"Command", Form::kText, nullptr, L"http:// [$cmd]"},
    {L"online update", L"Link", L"Update", Form::kText, nullptr, L"http://"},
    {L"speech", L"Speech", L"SpeakXML", Form::kText, nullptr, L"[$voice] [$rate] [$volume] [$pitch] [$text]"},
    {L"start-up", L"Message", L"NeedIE6Support", Form::kText, nullptr, nullptr},
    {L"start-up", L"Message", L"ReadConfigFail", Form::kText, nullptr, nullptr},
    {L"speech", L"Message", L"OpenSpeechEngineFail", Form::kText, nullptr, nullptr},
    {L"online update", L"Message", L"UpdateRunProgram", Form::kFormat, "s", nullptr},
    {L"user state", L"Message", L"SaveStateFail", Form::kFormat, "s", nullptr},
    // Main window: caption buttons, footer, tray icon and menu.
    {L"main window", L"MainFrame", L"Close", Form::kText, nullptr, nullptr},
    {L"main window", L"MainFrame", L"Minimize", Form::kText, nullptr, nullptr},
    {L"main window", L"MainFrame", L"Maximize", Form::kText, nullptr, nullptr},
    {L"main window", L"MainFrame", L"Restore", Form::kText, nullptr, nullptr},
    {L"main window", L"MainFrame", L"KeepVisible", Form::kText, nullptr, nullptr},
    {L"main window footer, About", L"Maker", L"Copyright", Form::kText, nullptr, nullptr},
    {L"tray icon", L"NotifyIcon", L"Tip", Form::kFormat, "ss", nullptr},
    {L"tray icon", L"NotifyIcon", L"InfoTitle", Form::kText, nullptr, nullptr},
    {L"tray icon", L"NotifyIcon", L"Info", Form::kFormat, "ss", nullptr},
    {L"tray icon", L"NotifyIcon", L"Enabled", Form::kText, nullptr, nullptr},
    {L"tray icon", L"NotifyIcon", L"Disabled", Form::kText, nullptr, nullptr},
    {L"tray menu", L"MainMenu", L"Open", Form::kText, nullptr, nullptr},
    {L"tray and search bar menu", L"MainMenu", L"CursorTranslator", Form::kText, nullptr, nullptr},
    {L"tray and search bar menu", L"MainMenu", L"ClipboardTranslator", Form::kText, nullptr, nullptr},
    {L"tray and search bar menu", L"MainMenu", L"Dictionaries", Form::kText, nullptr, nullptr},
    {L"tray and search bar menu", L"MainMenu", L"Configuration", Form::kText, nullptr, nullptr},
    {L"tray and search bar menu", L"MainMenu", L"Help", Form::kText, nullptr, nullptr},
    {L"tray and search bar menu", L"MainMenu", L"Support", Form::kText, nullptr, nullptr},
    {L"tray and search bar menu", L"MainMenu", L"About", Form::kText, nullptr, nullptr},
    {L"tray and search bar menu", L"MainMenu", L"Exit", Form::kText, nullptr, nullptr},
    // Search bar and index pane.
    {L"search bar", L"DlgInput", L"AutoMatch", Form::kPair, nullptr, nullptr},
    {L"search bar", L"DlgInput", L"MatchSetup", Form::kText, nullptr, nullptr},
    {L"search bar", L"DlgInput", L"Search", Form::kPair, nullptr, nullptr},
    {L"search bar", L"DlgInput", L"HistoryList", Form::kText, nullptr, nullptr},
    {L"search bar", L"DlgInput", L"Back", Form::kText, nullptr, nullptr},
    {L"search bar", L"DlgInput", L"Forward", Form::kText, nullptr, nullptr},
    {L"search bar", L"DlgInput", L"MainMenu", Form::kText, nullptr, nullptr},
    {L"index pane", L"DlgIndex", L"Index", Form::kText, nullptr, nullptr},
    {L"index pane", L"DlgIndex", L"Guide", Form::kText, nullptr, nullptr},
    {L"index pane", L"DlgIndex", L"Appendix", Form::kText, nullptr, nullptr},
    // Result view, guide and the lookup's pages.
    {L"result view", L"WebStartPage", L"StartPageTpl", Form::kText, nullptr, L"startpage"},
    {L"lookup, popup", L"WebResult", L"NoMatch", Form::kFormat, "s", L"dict_spelling"},
    {L"popup", L"WebResult", L"MoreActions", Form::kFormat, "ss", L"app://websearch/ app://texttranslation/"},
    {L"guide", L"WebGuide", L"Results", Form::kText, nullptr, nullptr},
    {L"guide", L"WebGuide", L"Actions", Form::kText, nullptr, nullptr},
    {L"guide", L"WebGuide", L"Options", Form::kText, nullptr, nullptr},
    {L"guide", L"WebGuide", L"TextTranslation", Form::kPair, nullptr, nullptr},
    {L"guide", L"WebGuide", L"WebSearch", Form::kPair, nullptr, nullptr},
    {L"guide", L"WebGuide", L"Dictionaries", Form::kPair, nullptr, nullptr},
    {L"guide", L"WebGuide", L"Configuration", Form::kPair, nullptr, nullptr},
    {L"guide", L"WebGuide", L"Homepage", Form::kPair, nullptr, nullptr},
    {L"guide", L"WebGuide", L"Spelling", Form::kPair, nullptr, nullptr},
    // View bar, its menus and the result page's dictionary menu.
    {L"view bar", L"DlgView", L"Info", Form::kPair, nullptr, nullptr},
    {L"view bar", L"DlgView", L"TextTranslate", Form::kPair, nullptr, nullptr},
    {L"view bar", L"DlgView", L"HideIndex", Form::kText, nullptr, nullptr},
    {L"view bar", L"DlgView", L"ShowIndex", Form::kText, nullptr, nullptr},
    {L"view bar, page menu", L"DlgView", L"Find", Form::kText, nullptr, nullptr},
    {L"view bar, page menu", L"DlgView", L"Save", Form::kText, nullptr, nullptr},
    {L"view bar, page menu", L"DlgView", L"Print", Form::kText, nullptr, nullptr},
    {L"view bar, page menu", L"DlgView", L"Speak", Form::kPair, nullptr, nullptr},
    {L"view bar, page menu", L"DlgView", L"Copy", Form::kText, nullptr, nullptr},
    {L"view bar voice menu", L"DlgView", L"SpeechOption", Form::kText, nullptr, nullptr},
    {L"view bar save", L"DlgView", L"SaveFilter", Form::kFilter, nullptr, L"*.htm"},
    {L"page menu", L"DlgView", L"Search", Form::kText, nullptr, nullptr},
    {L"page menu", L"DlgView", L"SelectVoice", Form::kText, nullptr, nullptr},
    {L"page menu", L"DlgView", L"SelectAll", Form::kText, nullptr, nullptr},
    {L"view bar save", L"Message", L"SaveSearchResultFail", Form::kText, nullptr, nullptr},
    {L"dictionary menu", L"DictMenu", L"About", Form::kText, nullptr, nullptr},
    {L"dictionary menu", L"DictMenu", L"Disable", Form::kText, nullptr, nullptr},
    {L"dictionary menu", L"DictMenu", L"Enable", Form::kText, nullptr, nullptr},
    {L"dictionary menu", L"DictMenu", L"MoveTop", Form::kText, nullptr, nullptr},
    {L"dictionary menu", L"DictMenu", L"ArrangeResults", Form::kText, nullptr, nullptr},
    {L"dictionary menu", L"DictMenu", L"IndexGroup", Form::kText, nullptr, nullptr},
    {L"dictionary menu", L"DictMenu", L"DisableMsg", Form::kText, nullptr, nullptr},
    // Entry renderer: the dictionary block's titles and the headings of blocks.
    {L"entry renderer", L"Layout", L"DictMenu", Form::kText, nullptr, nullptr},
    {L"entry renderer, view bar, popup", L"Layout", L"ShowResult", Form::kText, nullptr, nullptr},
    {L"entry renderer, view bar, popup", L"Layout", L"MinimizeResult", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"FindWord", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"Idiom", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"Idiom_JA", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"Phrase", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"PhrasalVerb", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"CommonlyPhrase", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"Etymology", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"Usage", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"Derived", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"Antonym", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"RelatedTerm", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"Reference", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"Note", Form::kText, nullptr, nullptr},
    {L"entry renderer", L"Layout", L"WordHistory", Form::kText, nullptr, nullptr},
    // Popup.
    {L"popup", L"WndGrab", L"Open", Form::kText, nullptr, nullptr},
    {L"popup", L"WndGrab", L"Copy", Form::kText, nullptr, nullptr},
    {L"popup", L"WndGrab", L"Speak", Form::kText, nullptr, nullptr},
    {L"popup", L"WndGrab", L"TextTranslation", Form::kText, nullptr, nullptr},
    {L"popup", L"WndGrab", L"KeepVisible", Form::kText, nullptr, nullptr},
    // Text translation form.
    {L"text translation form", L"TextTranslation", L"To", Form::kText, nullptr, nullptr},
    {L"text translation form", L"TextTranslation", L"Translate", Form::kText, nullptr, nullptr},
    {L"text translation form", L"TextTranslation", L"WaitRequest", Form::kText, nullptr, nullptr},
    {L"text translation form", L"TextTranslation", L"ConnectFailed", Form::kText, nullptr, nullptr},
    {L"text translation form", L"TextTranslation", L"RequestFailed", Form::kText, nullptr, nullptr},
    {L"text translation form", L"TextTranslation", L"NoLanguages", Form::kText, nullptr, nullptr},
    {L"text translation form", L"TextTranslation", L"ProxyAuthPrompt", Form::kText, nullptr, nullptr},
    {L"update notice", L"OnlineUpdate", L"CheckStopped", Form::kText, nullptr, nullptr},
    {L"text translation form", L"TextTranslation", L"ProxyAuthRequired", Form::kText, nullptr, nullptr},
    {L"text translation form", L"TextTranslation", L"ProxyAuthRefused", Form::kText, nullptr, nullptr},
    {L"text translation form", L"TextTranslation", L"ParseResultFailed", Form::kText, nullptr, nullptr},
    // Options dialog and its pages.
    {L"options", L"DlgOption", L"Title", Form::kText, nullptr, nullptr},
    {L"options", L"DlgOption", L"General", Form::kText, nullptr, nullptr},
    {L"options", L"DlgOption", L"Appearance", Form::kText, nullptr, nullptr},
    {L"options", L"DlgOption", L"Translate", Form::kText, nullptr, nullptr},
    {L"options", L"DlgOption", L"Speech", Form::kText, nullptr, nullptr},
    {L"options", L"DlgOption", L"Connection", Form::kText, nullptr, nullptr},
    {L"options", L"DlgOption", L"Hotkey", Form::kText, nullptr, nullptr},
    {L"options", L"DlgOption", L"Ok", Form::kText, nullptr, nullptr},
    {L"options", L"DlgOption", L"Cancel", Form::kText, nullptr, nullptr},
    {L"options General", L"DlgOptGeneral", L"Language", Form::kText, nullptr, nullptr},
    {L"options General", L"DlgOptGeneral", L"UILanguage", Form::kText, nullptr, nullptr},
    {L"options General", L"DlgOptGeneral", L"WebSearch", Form::kText, nullptr, nullptr},
    {L"options General", L"DlgOptGeneral", L"SelectWebSearch", Form::kText, nullptr, nullptr},
    {L"options General", L"DlgOptGeneral", L"TermHistory", Form::kText, nullptr, nullptr},
    {L"options General", L"DlgOptGeneral", L"SaveHistory", Form::kText, nullptr, nullptr},
    {L"options General", L"DlgOptGeneral", L"ClearHistory", Form::kText, nullptr, nullptr},
    {L"options General", L"DlgOptGeneral", L"AutoStart", Form::kText, nullptr, nullptr},
    {L"options General", L"DlgOptGeneral", L"StartMin", Form::kText, nullptr, nullptr},
    {L"options General", L"DlgOptGeneral", L"ClearHistoryConfirmation", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"UserInterface", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"WindowTextFont", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"WindowFontSize", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"ResultDisplay", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"TextFont", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"FontSize", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"PhoneticFont", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"CursorTranslatorBar", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"FontColor", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"BackColor", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"BorderColor", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"Transparence", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"WindowFontSizeList", Form::kText, nullptr, nullptr},
    {L"options Appearance", L"DlgOptAppearance", L"SampleText", Form::kText, nullptr, nullptr},
    {L"options Translate, tray icon", L"DlgOptTranslate", L"CursorActivation", Form::kText, nullptr, nullptr},
    {L"options Translate", L"DlgOptTranslate", L"TimeDelay", Form::kText, nullptr, nullptr},
    {L"options Translate", L"DlgOptTranslate", L"MSEL", Form::kText, nullptr, nullptr},
    {L"options Translate, tray icon", L"DlgOptTranslate", L"MouseOver", Form::kText, nullptr, nullptr},
    {L"options Translate, tray icon", L"DlgOptTranslate", L"ShiftMouse", Form::kText, nullptr, nullptr},
    {L"options Translate, tray icon", L"DlgOptTranslate", L"CtrlMouse", Form::kText, nullptr, nullptr},
    {L"options Translate, tray icon", L"DlgOptTranslate", L"MiddleMouse", Form::kText, nullptr, nullptr},
    {L"options Translate", L"DlgOptTranslate", L"Language", Form::kText, nullptr, nullptr},
    {L"options Translate", L"DlgOptTranslate", L"IgnoreLatin", Form::kText, nullptr, nullptr},
    {L"options Translate", L"DlgOptTranslate", L"IgnoreCyrillic", Form::kText, nullptr, nullptr},
    {L"options Translate", L"DlgOptTranslate", L"IgnoreCJK", Form::kText, nullptr, nullptr},
    {L"options Hotkey", L"DlgOptHotkey", L"OpenMainWnd", Form::kText, nullptr, nullptr},
    {L"options Hotkey", L"DlgOptHotkey", L"GrabToggleKey", Form::kText, nullptr, nullptr},
    {L"options Hotkey", L"DlgOptHotkey", L"ClipboardToggleKey", Form::kText, nullptr, nullptr},
    {L"options Hotkey", L"DlgOptHotkey", L"Pronounce", Form::kText, nullptr, nullptr},
    {L"options Hotkey", L"DlgOptHotkey", L"CopyInterpretation", Form::kText, nullptr, nullptr},
    {L"options Speech", L"DlgOptSpeech", L"Engine", Form::kText, nullptr, nullptr},
    {L"options Speech", L"DlgOptSpeech", L"Voice", Form::kText, nullptr, nullptr},
    {L"options Speech", L"DlgOptSpeech", L"Volume", Form::kText, nullptr, nullptr},
    {L"options Speech", L"DlgOptSpeech", L"Pitch", Form::kText, nullptr, nullptr},
    {L"options Speech", L"DlgOptSpeech", L"Speed", Form::kText, nullptr, nullptr},
    {L"options Speech", L"DlgOptSpeech", L"RealtimePron", Form::kText, nullptr, nullptr},
    {L"options Speech", L"DlgOptSpeech", L"EnterText", Form::kText, nullptr, nullptr},
    {L"options Speech", L"DlgOptSpeech", L"Test", Form::kText, nullptr, nullptr},
    {L"options Speech, view bar voice menu", L"DlgOptSpeech", L"DownloadTTS", Form::kText, nullptr, nullptr},
    {L"options Connection", L"DlgOptConnection", L"ConnectSet", Form::kText, nullptr, nullptr},
    {L"options Connection", L"DlgOptConnection", L"DirectConnect", Form::kText, nullptr, nullptr},
    {L"options Connection", L"DlgOptConnection", L"ProxyConnect", Form::kText, nullptr, nullptr},
    {L"options Connection", L"DlgOptConnection", L"ProxyServer", Form::kText, nullptr, nullptr},
    {L"options Connection", L"DlgOptConnection", L"ProxyPort", Form::kText, nullptr, nullptr},
    {L"options Connection", L"DlgOptConnection", L"Username", Form::kText, nullptr, nullptr},
    {L"options Connection", L"DlgOptConnection", L"Password", Form::kText, nullptr, nullptr},
    {L"options Connection", L"DlgOptConnection", L"OnlineUpdate", Form::kText, nullptr, nullptr},
    {L"options Connection", L"DlgOptConnection", L"UpdateNow", Form::kText, nullptr, nullptr},
    {L"options Connection", L"DlgOptConnection", L"EnableUpdate", Form::kText, nullptr, nullptr},
    {L"proxy authentication", L"DlgAuthentication", L"TitleProxy", Form::kText, nullptr, nullptr},
    {L"proxy authentication", L"DlgAuthentication", L"Username", Form::kText, nullptr, nullptr},
    {L"proxy authentication", L"DlgAuthentication", L"Password", Form::kText, nullptr, nullptr},
    {L"proxy authentication", L"DlgAuthentication", L"Remember", Form::kText, nullptr, nullptr},
    {L"proxy authentication", L"DlgAuthentication", L"Ok", Form::kText, nullptr, nullptr},
    {L"proxy authentication", L"DlgAuthentication", L"Cancel", Form::kText, nullptr, nullptr},
    {L"proxy authentication", L"Message", L"UsernameIsEmpty", Form::kText, nullptr, nullptr},
    {L"options", L"Message", L"SaveSettingsFail", Form::kFormat, "s", nullptr},
    {L"options Connection", L"Message", L"ProxyPortInvalid", Form::kText, nullptr, nullptr},
    {L"About", L"DlgAbout", L"DlgTitle", Form::kText, nullptr, nullptr},
    {L"About", L"DlgAbout", L"Version", Form::kText, nullptr, nullptr},
    {L"About", L"DlgAbout", L"Website", Form::kText, nullptr, nullptr},
    {L"About", L"DlgAbout", L"Email", Form::kText, nullptr, nullptr},
    {L"About", L"Maker", L"Website", Form::kText, nullptr, nullptr},
    {L"About", L"Maker", L"Email", Form::kText, nullptr, L"@"},
    {L"About", L"Maker", L"Author", Form::kText, nullptr, nullptr},
    {L"About", L"Maker", L"AuthorEmail", Form::kText, nullptr, L"@"},
    // Dictionary dialogs.
    {L"dictionary options", L"DlgDictOption", L"Title", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"Query", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"Index", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"Grab", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"NetInstall", Form::kPair, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"Install", Form::kPair, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"Uninstall", Form::kPair, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"Add", Form::kPair, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"Remove", Form::kPair, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"Download", Form::kPair, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"MoreDetails", Form::kPair, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"MoveTop", Form::kTooltip, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"MoveUp", Form::kTooltip, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"MoveDown", Form::kTooltip, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"MoveBottom", Form::kTooltip, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"Close", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"QueryList", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"IndexList", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"GrabList", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"DictID", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"Online", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"OnlineType", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"DlgDictOption", L"AddFilter", Form::kFilter, nullptr, L"*.tdc"},
    {L"dictionary options", L"DlgDictOption", L"InstallDict", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"Message", L"DictVersinTooNew", Form::kFormat, "ss", nullptr},
    {L"dictionary options", L"Message", L"DictVersinTooOld", Form::kFormat, "ss", nullptr},
    {L"dictionary options", L"Message", L"NoDictFile", Form::kFormat, "s", nullptr},
    {L"dictionary options", L"Message", L"AskDictRepeatInstall", Form::kFormat, "sX", nullptr},
    {L"dictionary options", L"Message", L"AtLeastOneInIndexGroup", Form::kText, nullptr, nullptr},
    {L"dictionary options", L"Message", L"AskUninstall", Form::kFormat, "sX", nullptr},
    {L"dictionary options", L"Message", L"AskRemove", Form::kFormat, "sX", nullptr},
    {L"dictionary options, dictionary manager", L"Message", L"InstallDictFail", Form::kFormat, "ss", nullptr},
    {L"install result", L"DlgDictInstall", L"Title", Form::kText, nullptr, nullptr},
    {L"install result", L"DlgDictInstall", L"InstallSucceed", Form::kFormat, "Xs", nullptr},
    {L"install result", L"DlgDictInstall", L"DictGroupOption", Form::kText, nullptr, nullptr},
    {L"install result", L"DlgDictInstall", L"AddIndexGroup", Form::kText, nullptr, nullptr},
    {L"install result", L"DlgDictInstall", L"AddIndexGroupDesc", Form::kText, nullptr, nullptr},
    {L"install result", L"DlgDictInstall", L"AddGrabGroup", Form::kText, nullptr, nullptr},
    {L"install result", L"DlgDictInstall", L"AddGrabGroupDesc", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"Title", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"Close", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"DictTitle", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"DictEdition", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"DictDescription", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"PubAuthor", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"PubEmail", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"PubWebsite", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"PubCopyright", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"Version", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"ID", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"Date", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"GlsCount", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"Update", Form::kText, nullptr, nullptr},
    {L"dictionary information", L"DlgDictInfo", L"IndexCount", Form::kText, nullptr, nullptr},
    {L"dictionary picker", L"DlgDictList", L"Title", Form::kText, nullptr, nullptr},
    {L"dictionary picker", L"DlgDictList", L"Add", Form::kText, nullptr, nullptr},
    {L"dictionary picker", L"DlgDictList", L"Cancel", Form::kText, nullptr, nullptr},
    {L"dictionary picker", L"DlgDictList", L"Select", Form::kText, nullptr, nullptr},
    {L"dictionary picker", L"DlgDictList", L"DictList", Form::kText, nullptr, nullptr},
    {L"dictionary picker", L"DlgDictList", L"ID", Form::kText, nullptr, nullptr},
    {L"dictionary picker", L"DlgDictList", L"Online", Form::kText, nullptr, nullptr},
    // The dictionary manager's failure texts.
    {L"dictionary manager", L"Message", L"FilenameInvalid", Form::kText, nullptr, nullptr},
    {L"dictionary manager", L"Message", L"MemoryAllocFail", Form::kFormat, "", nullptr},
    {L"dictionary manager", L"Message", L"LoadDictFileFail", Form::kFormat, "", nullptr},
    {L"dictionary manager", L"Message", L"DictContentDamaged", Form::kFormat, "", nullptr},
    {L"dictionary manager", L"Message", L"LoadDictRepeat", Form::kFormat, "ssX", nullptr},
    {L"dictionary manager", L"Message", L"UninstallDictFail", Form::kFormat, "X", nullptr},
    {L"dictionary manager", L"Message", L"AddDictFail", Form::kFormat, "X", nullptr},
    {L"dictionary manager", L"Message", L"RemoveDictFail", Form::kFormat, "X", nullptr},
    {L"dictionary manager", L"Message", L"NoClearAllIndexGroup", Form::kFormat, "X", nullptr},
    {L"dictionary manager", L"Message", L"ReadDictConfigFail", Form::kText, nullptr, nullptr},
    {L"dictionary manager", L"Message", L"LoadDictFail", Form::kText, nullptr, nullptr},
};

// ---- Settings and the user's state ---------------------------------------------------

enum class Value {
  kPresent,  // the key exists (its value may be empty)
  kText,     // not empty
  kFlag,     // y or n (1 or 0)
  kNumber,   // an unsigned number within [low, high]
  kSigned,   // a signed number within [low, high]
  kRect,     // left, top, right, bottom with a non-empty area
  kKeyOf,    // names a key of the texts' section `of`
  kItemOf,   // one of the items of the texts' list `of` (section/key)
};

struct SettingRead {
  const wchar_t* reader;
  const wchar_t* section;
  const wchar_t* key;
  Value kind;
  int32_t low, high;
  const wchar_t* of;
};

const SettingRead kSettings[] = {
    {L"start-up, options General", L"General", L"LangCode", Value::kKeyOf, 0, 0, L"UILanguage"},
    {L"main window, options General", L"General", L"StartMinmize", Value::kFlag, 0, 0, nullptr},
    {L"options General", L"General", L"AutoStart", Value::kFlag, 0, 0, nullptr},
    {L"web search, options General", L"General", L"SearchEngine", Value::kKeyOf, 0, 0, L"SearchEngine"},
    {L"search bar, options General", L"General", L"SearchHistory", Value::kNumber, 1, 100, nullptr},
    {L"start-up, guide, options Appearance", L"Appearance", L"UITextFont", Value::kText, 0, 0, nullptr},
    {L"start-up, guide, options Appearance", L"Appearance", L"UIFontSize", Value::kItemOf, 0, 0,
     L"DlgOptAppearance/WindowFontSizeList"},
    {L"entry renderer, options Appearance", L"Appearance", L"TextFont", Value::kText, 0, 0, nullptr},
    {L"entry renderer, options Appearance", L"Appearance", L"PhoneticFont", Value::kText, 0, 0, nullptr},
    {L"entry renderer, text translation, options Appearance", L"Appearance", L"FontSize", Value::kKeyOf, 0, 0,
     L"FontSize"},
    {L"popup, options Appearance", L"Appearance", L"GrabTextColor", Value::kNumber, 0, 0xFFFFFF, nullptr},
    {L"popup, options Appearance", L"Appearance", L"GrabBackColor", Value::kNumber, 0, 0xFFFFFF, nullptr},
    {L"popup, options Appearance", L"Appearance", L"GrabBorderColor", Value::kNumber, 0, 0xFFFFFF, nullptr},
    {L"options Appearance", L"Appearance", L"GrabAlpha", Value::kNumber, 0, 255, nullptr},
    {L"cursor translation, options Translate", L"Translate", L"GrabTimeDelay", Value::kNumber, 100, 900, nullptr},
    {L"cursor translation, options Translate", L"Translate", L"GrabActivation", Value::kNumber, 1, 512, nullptr},
    {L"clipboard translation", L"Translate", L"ClipboardActivation", Value::kNumber, 1, 1, nullptr},
    {L"popup, options Translate", L"Translate", L"IgnoreLatin", Value::kFlag, 0, 0, nullptr},
    {L"popup, options Translate", L"Translate", L"IgnoreCJK", Value::kFlag, 0, 0, nullptr},
    {L"popup, options Translate", L"Translate", L"IgnoreCyrillic", Value::kFlag, 0, 0, nullptr},
    {L"hot keys, options Hotkey", L"Hotkey", L"OpenMainWnd", Value::kNumber, 0, 0x7FFFFFFF, nullptr},
    {L"hot keys, options Hotkey", L"Hotkey", L"GrabToggleKey", Value::kNumber, 0, 0x7FFFFFFF, nullptr},
    {L"hot keys, options Hotkey", L"Hotkey", L"ClipboardToggleKey", Value::kNumber, 0, 0x7FFFFFFF, nullptr},
    {L"hot keys, options Hotkey", L"Hotkey", L"Pronounce", Value::kNumber, 0, 0x7FFFFFFF, nullptr},
    {L"hot keys, options Hotkey", L"Hotkey", L"CopyInterpretation", Value::kNumber, 0, 0x7FFFFFFF, nullptr},
    {L"speech, options Speech", L"Speech", L"Voice", Value::kPresent, 0, 0, nullptr},
    {L"speech, options Speech", L"Speech", L"Rate", Value::kSigned, -10, 10, nullptr},
    {L"speech, options Speech", L"Speech", L"Volume", Value::kNumber, 0, 100, nullptr},
    {L"speech, options Speech", L"Speech", L"Pitch", Value::kSigned, -10, 10, nullptr},
    {L"lookup, popup, options Speech", L"Speech", L"RealtimePron", Value::kFlag, 0, 0, nullptr},
    {L"options Speech", L"Speech", L"TestText", Value::kText, 0, 0, nullptr},
    {L"connection, options Connection", L"Connection", L"Connect", Value::kNumber, 0, 2, nullptr},
    {L"connection, options Connection", L"Connection", L"ProxyServer", Value::kPresent, 0, 0, nullptr},
    {L"connection, options Connection", L"Connection", L"ProxyPort", Value::kNumber, 0, 65535, nullptr},
    {L"connection, options Connection", L"Connection", L"ProxyAuth", Value::kPresent, 0, 0, nullptr},
    {L"main window, options Connection", L"Connection", L"EnableUpdate", Value::kFlag, 0, 0, nullptr},
};

const SettingRead kUserState[] = {
    {L"main window", L"App", L"Window", Value::kRect, 0, 0, nullptr},
    {L"main window (popup placement)", L"App", L"GrabWindow", Value::kRect, 0, 0, nullptr},
    {L"main window", L"App", L"ShowIndex", Value::kFlag, 0, 0, nullptr},
    {L"main window", L"App", L"IndexWidth", Value::kNumber, 50, 1000, nullptr},
    {L"main window, menus", L"App", L"EnableGrab", Value::kFlag, 0, 0, nullptr},
    {L"main window, menus", L"App", L"EnableClipboard", Value::kFlag, 0, 0, nullptr},
    {L"options", L"App", L"ConfigPage", Value::kNumber, 0, 5, nullptr},
    {L"search bar", L"App", L"SearchList", Value::kPresent, 0, 0, nullptr},
    {L"text translator", L"TT", L"Engine", Value::kNumber, 1, 0x7FFFFFFF, nullptr},
    {L"text translator", L"TT", L"LangSrc", Value::kKeyOf, 0, 0, nullptr},
    {L"text translator", L"TT", L"LangDest", Value::kKeyOf, 0, 0, nullptr},
};

bool ReadsAsNumber(const std::wstring& text, bool allowSign, long long& value) {
  if (text.empty()) return false;
  wchar_t* end = nullptr;
  value = allowSign ? wcstoll(text.c_str(), &end, 0) : static_cast<long long>(wcstoull(text.c_str(), &end, 0));
  return end && *end == L'\0' && (allowSign || text[0] != L'-');
}

// The fault in a value read by `row` from `store`, or empty when it is well formed.
std::wstring ValueFault(const SettingRead& row, const CConfigFile& store, const CConfigFile& texts) {
  const wchar_t* raw = store.GetValue(row.section, row.key);
  if (!raw) return L"missing";
  const std::wstring value = store.GetString(row.section, row.key, L"");
  long long number = 0;
  switch (row.kind) {
    case Value::kPresent:
      return L"";
    case Value::kText:
      return value.empty() ? L"empty" : L"";
    case Value::kFlag:
      return value == L"y" || value == L"n" || value == L"1" || value == L"0" ? L"" : L"not a flag: " + value;
    case Value::kNumber:
    case Value::kSigned:
      if (!ReadsAsNumber(value, row.kind == Value::kSigned, number)) return L"not a number: " + value;
      return number < row.low || number > row.high ? L"out of range: " + value : L"";
    case Value::kRect: {
      std::vector<int32_t> box;
      if (store.GetIntList(row.section, row.key, box) != 4) return L"not four numbers: " + value;
      return box[2] > box[0] && box[3] > box[1] ? L"" : L"an empty rectangle: " + value;
    }
    case Value::kKeyOf:
      return row.of && !texts.GetValue(row.of, value.c_str()) ? L"names no key of [" + std::wstring(row.of) + L"]: " + value
                                                              : L"";
    case Value::kItemOf: {
      std::wstring of = row.of;
      size_t slash = of.find(L'/');
      std::vector<std::wstring> items;
      texts.GetStringList(of.substr(0, slash).c_str(), of.substr(slash + 1).c_str(), items);
      for (const std::wstring& item : items)
        if (item == value) return L"";
      return L"not one of " + of + L": " + value;
    }
  }
  return L"";
}

// ---- Images --------------------------------------------------------------------------

enum class Fit {
  kCells,    // exactly columns x rows cells of the given size, none of them empty
  kAtLeast,  // stretched or tiled: at least the given size
  kAtMost,   // drawn into a box of the given size
};

struct ImageRead {
  const wchar_t* reader;
  const wchar_t* folder;  // "image" or "icon"
  const wchar_t* name;
  Fit fit;
  int width, height;  // of a cell, or the bound
  int columns, rows;  // kCells
};

const ImageRead kImages[] = {
    // Caption buttons: states by column; maximise/restore and the pin by row as well.
    {L"main window", L"image", L"close.png", Fit::kCells, 17, 19, 4, 1},
    {L"main window", L"image", L"minimize.png", Fit::kCells, 17, 19, 4, 1},
    {L"main window", L"image", L"maximize.png", Fit::kCells, 17, 19, 4, 2},
    {L"main window", L"image", L"nail.png", Fit::kCells, 17, 19, 4, 2},
    // The caption's height is that of caption_c.png; its buttons stand at y 4, 19 high.
    {L"main window", L"image", L"caption_c.png", Fit::kAtLeast, 1, 24, 0, 0},
    {L"main window", L"image", L"caption_r.png", Fit::kAtLeast, 1, 24, 0, 0},
    {L"main window", L"image", L"caption_logo.png", Fit::kAtLeast, 1, 24, 0, 0},
    {L"main window", L"image", L"movewnd.png", Fit::kAtLeast, 4, 4, 0, 0},
    // Search bar: the edit frame's two 22-pixel caps and middle column, 22 high.
    {L"search bar", L"image", L"toolsbar.png", Fit::kAtLeast, 1, 1, 0, 0},
    {L"search bar", L"image", L"edit_bk.png", Fit::kCells, 45, 22, 1, 1},
    {L"search bar", L"image", L"search_icon.png", Fit::kCells, 22, 16, 2, 1},
    {L"search bar", L"image", L"automatch.png", Fit::kCells, 16, 16, 1, 1},
    // Drawn at (13, 5) of a 22 x 16 frame.
    {L"search bar", L"image", L"dropmenu.png", Fit::kAtMost, 9, 11, 0, 0},
    {L"search bar", L"image", L"down.png", Fit::kCells, 14, 14, 4, 1},
    {L"search bar", L"image", L"back.png", Fit::kCells, 22, 22, 4, 1},
    {L"search bar", L"image", L"forward.png", Fit::kCells, 22, 22, 4, 1},
    {L"search bar", L"image", L"mainmenu.png", Fit::kCells, 22, 22, 4, 1},
    {L"index pane", L"image", L"tab_index.png", Fit::kCells, 22, 32, 4, 2},
    {L"index pane", L"image", L"tab_guide.png", Fit::kCells, 22, 32, 4, 2},
    {L"index pane", L"image", L"tab_appendix.png", Fit::kCells, 22, 32, 4, 2},
    // View bar: the strip is as high as its image; the buttons stand at y 1, 21 high.
    {L"view bar", L"image", L"viewbar.png", Fit::kAtLeast, 1, 22, 0, 0},
    {L"view bar", L"image", L"switchindex.png", Fit::kCells, 16, 16, 4, 2},
    {L"view bar", L"image", L"info.png", Fit::kCells, 16, 16, 1, 1},
    {L"view bar", L"image", L"tt.png", Fit::kCells, 16, 16, 1, 1},
    {L"view bar", L"image", L"find.png", Fit::kCells, 16, 16, 1, 1},
    {L"view bar", L"image", L"save.png", Fit::kCells, 16, 16, 1, 1},
    {L"view bar", L"image", L"print.png", Fit::kCells, 16, 16, 1, 1},
    {L"view bar", L"image", L"speech.png", Fit::kCells, 16, 16, 1, 1},
    {L"view bar", L"image", L"copy.png", Fit::kCells, 16, 16, 1, 1},
    {L"tool buttons", L"image", L"button_flat_menu.png", Fit::kCells, 22, 22, 4, 3},
    {L"popup", L"image", L"btn_open.png", Fit::kCells, 16, 18, 4, 1},
    {L"popup", L"image", L"btn_copy.png", Fit::kCells, 16, 18, 4, 1},
    {L"popup", L"image", L"btn_speak.png", Fit::kCells, 16, 18, 4, 1},
    {L"popup", L"image", L"btn_tt.png", Fit::kCells, 16, 18, 4, 1},
    {L"popup", L"image", L"btn_keepvisual.png", Fit::kCells, 16, 18, 4, 2},
    {L"popup no-match page", L"icon", L"web.png", Fit::kCells, 16, 16, 1, 1},
    {L"popup no-match page", L"icon", L"tt.png", Fit::kCells, 16, 16, 1, 1},
    // Menus and the guide's rows.
    {L"menus", L"icon", L"find8.png", Fit::kCells, 16, 16, 1, 1},
    {L"menus, guide", L"icon", L"dictlib8.png", Fit::kCells, 16, 16, 1, 1},
    {L"menus, guide", L"icon", L"config8.png", Fit::kCells, 16, 16, 1, 1},
    {L"menus", L"icon", L"help.png", Fit::kCells, 16, 16, 1, 1},
    {L"menus", L"icon", L"support8.png", Fit::kCells, 16, 16, 1, 1},
    {L"menus", L"icon", L"check8.png", Fit::kCells, 16, 16, 1, 1},
    {L"guide", L"icon", L"trans8.png", Fit::kCells, 16, 16, 1, 1},
    {L"guide", L"icon", L"websearch8.png", Fit::kCells, 16, 16, 1, 1},
    {L"guide", L"icon", L"homepage8.png", Fit::kCells, 16, 16, 1, 1},
    {L"guide", L"icon", L"spelling8.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionaries without an icon", L"icon", L"deficon.png", Fit::kCells, 16, 16, 1, 1},
    // Dictionary options: the tab background's grid is 8 + 48 + 8 by 8 + 22 + 8.
    {L"dictionary options", L"image", L"tab_back.png", Fit::kCells, 64, 38, 4, 2},
    {L"dictionary options", L"icon", L"query.png", Fit::kCells, 16, 16, 4, 1},
    {L"dictionary options", L"icon", L"index.png", Fit::kCells, 16, 16, 4, 1},
    {L"dictionary options", L"icon", L"grab.png", Fit::kCells, 16, 16, 4, 1},
    {L"dictionary options", L"icon", L"install_i.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"install.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"uninstall.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"add.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"remove.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"download.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"info.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"movetop.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"moveup.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"movedown.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"movebottom.png", Fit::kCells, 16, 16, 1, 1},
    {L"dictionary options", L"icon", L"onlinedict8.png", Fit::kCells, 16, 16, 1, 1},
    // About: the dialog takes the background's size; its lines stand at x 76,
    // y 118 to 184 (16 high each), the logo at (20, 115).
    {L"About", L"image", L"about.png", Fit::kAtLeast, 300, 210, 0, 0},
    {L"About", L"image", L"logo36.png", Fit::kCells, 36, 36, 1, 1},
    // Proxy authentication: a band across the dialog (230 dialog units, some
    // 350 to 400 pixels) above the prompt (34 units, some 55 pixels, down).
    {L"proxy authentication", L"image", L"authtitle.png", Fit::kAtLeast, 400, 30, 0, 0},
    {L"proxy authentication", L"image", L"authtitle.png", Fit::kAtMost, 2000, 52, 0, 0},
};

bool CellHasInk(const Veltra::COImage& image, int x0, int y0, int w, int h) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (image.At(x, y) >> 24) return true;
  return false;
}

// ---- Layouts -------------------------------------------------------------------------

// A piece the renderers read: formatted with `arguments` wide texts, or
// appended unchanged (-1), which must then hold no conversion.
struct LayoutRead {
  const wchar_t* layout;  // "def", "mtt" or "both"
  const wchar_t* section;
  const wchar_t* key;
  int arguments;
};

const LayoutRead kLayoutPieces[] = {
    {L"both", L"comm", L"DictB", 12},    {L"both", L"comm", L"DictB_Grab", 12}, {L"both", L"comm", L"DictE", -1},
    {L"both", L"comm", L"GlsB", -1},     {L"both", L"comm", L"GlsB1", 1},       {L"both", L"comm", L"GlsB2", 1},
    {L"both", L"comm", L"GlsE", -1},     {L"both", L"fmt", L"FormB", -1},       {L"both", L"fmt", L"FormB1", 4},
    {L"both", L"fmt", L"FormE", 2},      {L"both", L"fmt", L"EntryE", -1},      {L"both", L"fmt", L"HomE", -1},
    {L"both", L"fmt", L"SenseB", -1},    {L"both", L"fmt", L"SenseE", -1},      {L"both", L"fmt", L"ItemE", -1},
    {L"both", L"fmt", L"DefB", 1},       {L"both", L"fmt", L"DefE", -1},
    {L"def", L"fmt", L"EntryB0", 2},     {L"def", L"fmt", L"EntryBn", 2},       {L"def", L"fmt", L"HomB", 1},
    {L"def", L"fmt", L"HomB1", 1},       {L"def", L"fmt", L"HomB2", 1},         {L"def", L"fmt", L"ItemB", -1},
    {L"def", L"fmt", L"DefB1", 1},       {L"def", L"fmt", L"KeyB", -1},         {L"def", L"fmt", L"KeyE", -1},
    {L"def", L"fmt", L"PronB", 2},       {L"def", L"fmt", L"PronB1", 2},        {L"def", L"fmt", L"PronB2", 2},
    {L"def", L"fmt", L"PronE", -1},      {L"def", L"fmt", L"PronE1", -1},       {L"def", L"fmt", L"PronE2", -1},
    {L"def", L"fmt", L"OrthB", 1},       {L"def", L"fmt", L"OrthBk", 1},        {L"def", L"fmt", L"OrthBn", 1},
    {L"def", L"fmt", L"OrthE", 2},       {L"def", L"fmt", L"OrthEn", 2},        {L"def", L"fmt", L"PosB", -1},
    {L"def", L"fmt", L"PosE", -1},       {L"def", L"fmt", L"SubcB", -1},        {L"def", L"fmt", L"SubcE", -1},
    {L"def", L"fmt", L"RgB", -1},        {L"def", L"fmt", L"RgE", -1},          {L"def", L"fmt", L"EgB", -1},
    {L"def", L"fmt", L"EgE", -1},        {L"def", L"fmt", L"QB", -1},           {L"def", L"fmt", L"QE", -1},
    {L"def", L"fmt", L"TrB", -1},        {L"def", L"fmt", L"TrE", -1},          {L"def", L"fmt", L"DB", 1},
    {L"def", L"fmt", L"DE", -1},         {L"def", L"fmt", L"RefB", 2},          {L"def", L"fmt", L"RefE", -1},
    {L"def", L"fmt", L"SynB", 1},        {L"def", L"fmt", L"SynE", -1},         {L"def", L"fmt", L"AntB", 1},
    {L"def", L"fmt", L"AntE", -1},       {L"def", L"fmt", L"ColorB", 1},        {L"def", L"fmt", L"ColorE", -1},
    {L"def", L"fmt", L"IdiomB", 1},      {L"def", L"fmt", L"IdiomE", -1},       {L"def", L"fmt", L"PhraseB", 1},
    {L"def", L"fmt", L"PhraseB1", 1},    {L"def", L"fmt", L"PhraseB2", 1},      {L"def", L"fmt", L"PhraseE", -1},
    {L"def", L"fmt", L"EtymB", 1},       {L"def", L"fmt", L"EtymE", -1},        {L"def", L"fmt", L"UsgB", 1},
    {L"def", L"fmt", L"UsgE", -1},       {L"def", L"fmt", L"ReB", 1},           {L"def", L"fmt", L"ReB1", 1},
    {L"def", L"fmt", L"ReB2", 1},        {L"def", L"fmt", L"ReB3", 1},          {L"def", L"fmt", L"ReE", -1},
    {L"def", L"fmt", L"NoteB", 1},       {L"def", L"fmt", L"NoteE", -1},
    {L"mtt", L"fmt", L"EntryB", -1},     {L"mtt", L"fmt", L"EntryB1", -1},      {L"mtt", L"fmt", L"HomB", -1},
    {L"mtt", L"fmt", L"ItemB", 2},
};

// The layout store as the renderer builds it for a style: the style's file,
// then "layout.cfg", with the template variables of a dictionary expanded.
bool LoadLayout(CConfigFile& store, const std::wstring& dictFolder, const wchar_t* style) {
  std::wstring own, common;
  ReadTextFile(common, (dictFolder + L"layout.cfg").c_str(), 0);
  if (ReadTextFile(own, (dictFolder + L"layout_" + style + L".cfg").c_str(), 0) <= 0) return false;
  CStringMap vars;
  SetTemplateVar(vars, L"ImgPath", dictFolder + L"image\\\\");
  SetTemplateVar(vars, L"DictIcon", std::wstring(L"icon.png"));
  SetTemplateVar(vars, L"DictID", std::wstring(L"7"));
  std::wstring text;
  ExpandTemplateVars(text, (own + L"\n" + common).c_str(), vars);
  return store.Parse(text.c_str(), true, CConfigFile::kReplaceStore);
}

// An entry with an element of every kind the default renderer knows.
const wchar_t kEveryKind[] =
    L"<C A=\"0\"><E><F><a>rich</a><a B=\"1\">richer</a></F><P><c>r</c><c>i</c></P><G><r>adj</r><s>s</s>"
    L"<S>reg</S><O><d>one</d><d>two</d><R>example</R><q>quote</q><k>translation</k><y M=\"x\">x</y>"
    L"<e E=\"why\"/><e>plain</e><h>synonym</h><g>antonym</g><z L=\"red\">red</z></O></G>"
    L"<T C=\"JA\"><O>i</O></T><T><O>i</O></T><H C=\"phrasalverb\"><O>p</O></H><H C=\"commonly\"><O>p</O></H>"
    L"<H><O>p</O></H><K><O>k</O></K><I><O>u</O></I><L C=\"derived\"><O>l</O></L><L C=\"antonym\"><O>l</O></L>"
    L"<L C=\"relatedterm\"><O>l</O></L><L><O>l</O></L><N C=\"wordhistory\"><O>n</O></N><N><O>n</O></N>"
    L"<n/><Z/><l>1</l><m>2</m><b>b</b><i>i</i><u>u</u></E></C>";

// ---- The fixture ---------------------------------------------------------------------

class ShippedDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = ProgramFolder();
    temp = MakeSandbox(L"shipped");
    app.SetProgramPath(folder + L"Quorindo.exe");
    ASSERT_TRUE(app.InitSystem()) << "no program folder at " << std::string(folder.begin(), folder.end());
    app.m_tempFolder = temp;  // what opening a dictionary caches stays out of the program folder
    ASSERT_TRUE(app.LoadConfig());
  }
  void TearDown() override {
    app.GetDictManager()->Clear();
    RemoveSandbox(temp);
  }
  // The dictionaries and their groups, as start-up loads them.
  void LoadDictionaries() {
    MessageBoxRecorder boxes;
    ASSERT_TRUE(app.GetDictManager()->LoadConfig());
    ASSERT_EQ(boxes.count, 0) << std::string(boxes.last.begin(), boxes.last.end());
  }
  std::wstring Text(const wchar_t* section, const wchar_t* key, int index = -1) {
    return app.m_uiText.GetString(section, key, L"", index);
  }
  // A dictionary built by the writer into the temporary folder, rendered
  // through the layouts of the program folder.
  std::wstring WriteDictionary(uint32_t id, const wchar_t* style, const std::wstring& entry) {
    WriterSource source;
    source.id = id;
    source.layout = style;
    source.descriptions.push_back(WriterDescription(L"en", L"Fixture", L"every kind of element"));
    source.glossaries.push_back({L"en", L"de", L"text", L"Fixture"});
    source.entries.push_back({L"rich", entry});
    std::string bytes;
    std::wstring error;
    if (!BuildDictionary(bytes, source, L"", error)) return std::wstring();
    std::wstring path = temp + L"fixture_" + style + L".tdc";
    return WriteBytes(path, bytes) ? path : std::wstring();
  }

  std::wstring folder, temp;
  CQuorindoApp app;
};

// ---- Stores --------------------------------------------------------------------------

TEST_F(ShippedDataTest, EveryTextAWindowReadsIsThereInItsForm) {
  for (const TextRead& row : kTexts) {
    SCOPED_TRACE(std::wstring(row.reader) + L": [" + row.section + L"] " + row.key);
    const std::wstring value = Text(row.section, row.key);
    if (!app.m_uiText.GetValue(row.section, row.key)) {
      ADD_FAILURE() << "missing";
      continue;
    }
    EXPECT_FALSE(value.empty());
    switch (row.form) {
      case Form::kText:
        break;
      case Form::kPair:
        EXPECT_FALSE(Text(row.section, row.key, 0).empty()) << "no caption";
        EXPECT_FALSE(Text(row.section, row.key, 1).empty()) << "no tooltip";
        break;
      case Form::kTooltip:
        EXPECT_FALSE(Text(row.section, row.key, 1).empty()) << "no tooltip";
        break;
      case Form::kFormat:
        EXPECT_EQ(Directives(value), row.conversions) << std::string(value.begin(), value.end());
        break;
      case Form::kFilter: {
        std::vector<std::wstring> parts;
        std::wstring rest = value;
        while (!rest.empty() && rest.back() == L'|') rest.pop_back();
        for (size_t from = 0;;) {
          size_t bar = rest.find(L'|', from);
          parts.push_back(rest.substr(from, bar == std::wstring::npos ? std::wstring::npos : bar - from));
          if (bar == std::wstring::npos) break;
          from = bar + 1;
        }
        EXPECT_TRUE(parts.size() >= 2 && parts.size() % 2 == 0) << "not name|pattern pairs";
        break;
      }
      case Form::kKey32:
        EXPECT_EQ(value.size(), 32u);
        EXPECT_EQ(value.find_first_not_of(L"0123456789abcdefABCDEF"), std::wstring::npos);
        break;
      case Form::kNumber: {
        long long number = 0;
        EXPECT_TRUE(ReadsAsNumber(value, false, number)) << std::string(value.begin(), value.end());
        break;
      }
    }
    if (row.holds) {
      std::wstring holds = row.holds;
      for (size_t from = 0; from < holds.size();) {
        size_t blank = holds.find(L' ', from);
        std::wstring part = holds.substr(from, blank == std::wstring::npos ? std::wstring::npos : blank - from);
        EXPECT_NE(value.find(part), std::wstring::npos) << "lacks " << std::string(part.begin(), part.end());
        from = blank == std::wstring::npos ? holds.size() : blank + 1;
      }
    }
  }
}

TEST_F(ShippedDataTest, ListsTheOptionsPagesOfferAreFilled) {
  // Languages: a language file for each, and a name in the language list.
  const std::vector<std::wstring> languages = options_detail::SectionKeys(app.m_uiText, L"UILanguage");
  ASSERT_FALSE(languages.empty());
  for (const std::wstring& code : languages) {
    SCOPED_TRACE(code);
    EXPECT_NE(GetFileAttributesW((app.m_dataFolder + L"Lang-" + code + L".ini").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(Text(L"UILanguage", code.c_str()).empty());
  }
  // Result font sizes: points, then the name shown.
  const std::vector<std::wstring> sizes = options_detail::SectionKeys(app.m_uiText, L"FontSize");
  ASSERT_FALSE(sizes.empty());
  EXPECT_NE(app.m_uiText.GetValue(L"FontSize", L"0"), nullptr) << "the sample's fallback key";
  for (const std::wstring& key : sizes) {
    SCOPED_TRACE(L"FontSize " + key);
    EXPECT_GE(app.m_uiText.GetInt(L"FontSize", key.c_str(), 0, 0), 6u);
    EXPECT_FALSE(Text(L"FontSize", key.c_str(), 1).empty());
  }
  // Interface font sizes.
  std::vector<std::wstring> uiSizes;
  ASSERT_TRUE(app.m_uiText.GetStringList(L"DlgOptAppearance", L"WindowFontSizeList", uiSizes));
  for (const std::wstring& size : uiSizes) EXPECT_GT(wcstoul(size.c_str(), nullptr, 10), 5u);
  // Web search engines: a URL with the key's place, a name, a code page.
  const std::vector<std::wstring> engines = options_detail::SectionKeys(app.m_uiText, L"SearchEngine");
  ASSERT_FALSE(engines.empty());
  for (const std::wstring& key : engines) {
    SCOPED_TRACE(L"SearchEngine " + key);
    const std::wstring url = Text(L"SearchEngine", key.c_str(), 0);
    EXPECT_EQ(url.compare(0, 4, L"http"), 0);
    EXPECT_NE(url.find(L"[$key]"), std::wstring::npos);
    EXPECT_FALSE(Text(L"SearchEngine", key.c_str(), 1).empty());
    long long codePage = 0;
    EXPECT_TRUE(ReadsAsNumber(Text(L"SearchEngine", key.c_str(), 2), false, codePage));
  }
}

TEST_F(ShippedDataTest, EverySettingAndUserStateIsWellFormed) {
  for (const SettingRead& row : kSettings) {
    SCOPED_TRACE(std::wstring(row.reader) + L": config.ini [" + row.section + L"] " + row.key);
    EXPECT_EQ(ValueFault(row, app.m_settings, app.m_uiText), L"");
  }
  for (const SettingRead& row : kUserState) {
    SCOPED_TRACE(std::wstring(row.reader) + L": user.ini [" + row.section + L"] " + row.key);
    EXPECT_EQ(ValueFault(row, app.m_userState, app.m_uiText), L"");
  }
  // The grab modes the hook knows.
  const uint32_t mode = app.m_settings.GetInt(L"Translate", L"GrabActivation", 0);
  EXPECT_TRUE(mode == 1 || mode == 2 || mode == 256 || mode == 512) << mode;
  EXPECT_EQ(app.m_settings.GetInt(L"Translate", L"GrabTimeDelay", 0) % 100, 0u);
  // The popup's title: its text stands out from its background, and the border shows.
  auto luminance = [&](const wchar_t* key) {
    const uint32_t c = app.m_settings.GetInt(L"Appearance", key, 0);
    return (299 * (c & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * ((c >> 16) & 0xFF)) / 1000;
  };
  EXPECT_GE(std::abs(static_cast<int>(luminance(L"GrabTextColor")) - static_cast<int>(luminance(L"GrabBackColor"))),
            110);
  EXPECT_NE(app.m_settings.GetInt(L"Appearance", L"GrabBorderColor", 0),
            app.m_settings.GetInt(L"Appearance", L"GrabBackColor", 0));
  // The update store.
  EXPECT_TRUE(app.GetOnlineUpdate()->LoadUpdateIni());
  EXPECT_NE(GetLanguageName(app.m_langCode.c_str()), L"");
}

TEST_F(ShippedDataTest, StartUpFindsTheProductAndTheFonts) {
  EXPECT_EQ(app.m_productName, L"Quorindo");
  EXPECT_NE(app.m_productId, 0);
  EXPECT_NE(app.m_buildNumber, 0);
  EXPECT_EQ(app.m_langCode, L"en-US");
  EXPECT_TRUE(app.m_uiFont.GetSafeHandle());
  Veltra::COImage splash;
  CBmpImage bmp;
  ASSERT_TRUE(bmp.ReadFile((app.m_imageFolder + L"splash.bmp").c_str(), &splash, 0));
  EXPECT_GT(splash.GetWidth(), 100);
  EXPECT_GT(splash.GetHeight(), 100);
}

// ---- Page shells ---------------------------------------------------------------------

TEST_F(ShippedDataTest, PageShellsHoldTheElementsTheViewsWriteInto) {
  struct ShellElement {
    const wchar_t* reader;
    const wchar_t* shell;
    const wchar_t* id;
    const wchar_t* display;  // the element's display at load
  } const kElements[] = {
      {L"result view: results and the start page", L"start.htm", L"main_wnd", L""},
      {L"result view: update notices", L"start.htm", L"main_info", L"none"},
      {L"popup's view", L"start.htm", L"main", L""},
      {L"guide, dictionary dialogs", L"blank.htm", L"main", L""},
  };
  for (const ShellElement& row : kElements) {
    SCOPED_TRACE(std::wstring(row.reader) + L": " + row.shell + L" #" + row.id);
    // The views load the shells as UTF-8 text.
    std::string bytes;
    ASSERT_GT(ReadFileToString(bytes, (app.m_dataFolder + row.shell).c_str()), 0u);
    std::wstring html;
    Utf8ToWString(html, bytes.data(), static_cast<int>(bytes.size()));
    std::unique_ptr<htmlview::Document> page = htmlview::Document::Parse(html);
    htmlview::Element* element = page->GetItem(row.id);
    if (!element) {
      ADD_FAILURE() << "missing";
      continue;
    }
    EXPECT_EQ(element->GetStyle(L"display"), row.display);
  }
  // The popup sizes itself to the scroll size of "main": nothing else of the
  // shell may take room beside it, or the page scrolls inside the popup.
  {
    std::string bytes;
    ASSERT_GT(ReadFileToString(bytes, (app.m_dataFolder + L"start.htm").c_str()), 0u);
    std::wstring html;
    Utf8ToWString(html, bytes.data(), static_cast<int>(bytes.size()));
    std::unique_ptr<htmlview::Document> page = htmlview::Document::Parse(html);
    htmlview::Element* main = page->GetItem(L"main");
    ASSERT_NE(main, nullptr);
    std::wstring noMatch;
    AppendFormatWString(noMatch, Text(L"WebResult", L"NoMatch").c_str(), L"word");
    main->SetInnerHtml(noMatch);
    page->SetViewport(300, 10);  // lower than the content: the content height is its own
    page->EnsureLayout();
    EXPECT_EQ(main->OffsetTop(), 0);
    EXPECT_EQ(page->ContentHeight(), main->ScrollHeight());
  }
  // A long unknown word on the result page stays inside the page, which has
  // no horizontal scroll bar: the line wraps and the word breaks.
  {
    std::string bytes;
    ASSERT_GT(ReadFileToString(bytes, (app.m_dataFolder + L"start.htm").c_str()), 0u);
    std::wstring html;
    Utf8ToWString(html, bytes.data(), static_cast<int>(bytes.size()));
    std::unique_ptr<htmlview::Document> page = htmlview::Document::Parse(html);
    htmlview::Element* results = page->GetItem(L"main_wnd");
    ASSERT_NE(results, nullptr);
    std::wstring noMatch;
    AppendFormatWString(noMatch, Text(L"WebResult", L"NoMatch").c_str(), std::wstring(200, L'm').c_str());
    results->SetInnerHtml(noMatch);
    page->SetViewport(300, 400);
    page->EnsureLayout();
    htmlview::Element* line = page->GetItem(L"dict_spelling");
    ASSERT_NE(line, nullptr);
    htmlview::Element* word = nullptr;
    for (size_t i = 0; i < line->ChildCount() && !word; ++i)
      if (line->Child(i)->Is(L"b")) word = line->Child(i);
    ASSERT_NE(word, nullptr);
    const htmlview::PageRect box = word->PageBox();
    EXPECT_GT(box.width, 0);
    EXPECT_LE(box.left + box.width, 300);
  }
  // The start page that the result view shows, and that the update notice looks for.
  std::unique_ptr<htmlview::Document> start = ParsePage(Text(L"WebStartPage", L"StartPageTpl"));
  EXPECT_NE(start->GetItem(L"startpage"), nullptr);
}

// ---- Images --------------------------------------------------------------------------

TEST_F(ShippedDataTest, EveryImageIsDrawnInTheCellsItsWindowCuts) {
  for (const ImageRead& row : kImages) {
    SCOPED_TRACE(std::wstring(row.reader) + L": " + row.folder + L"\\" + row.name);
    const std::wstring path = (std::wstring(row.folder) == L"icon" ? app.m_iconFolder : app.m_imageFolder) + row.name;
    Veltra::COImage image;
    CPngImage png;
    if (!png.ReadFile(path.c_str(), &image, 0)) {
      ADD_FAILURE() << "missing or unreadable";
      continue;
    }
    switch (row.fit) {
      case Fit::kCells:
        if (image.GetWidth() != row.width * row.columns || image.GetHeight() != row.height * row.rows) {
          ADD_FAILURE() << image.GetWidth() << " x " << image.GetHeight() << " instead of " << row.columns << " x "
                        << row.rows << " cells of " << row.width << " x " << row.height;
          continue;
        }
        for (int r = 0; r < row.rows; ++r)
          for (int c = 0; c < row.columns; ++c)
            EXPECT_TRUE(CellHasInk(image, c * row.width, r * row.height, row.width, row.height))
                << "cell " << c << ", " << r << " is empty";
        break;
      case Fit::kAtLeast:
        EXPECT_GE(image.GetWidth(), row.width);
        EXPECT_GE(image.GetHeight(), row.height);
        break;
      case Fit::kAtMost:
        EXPECT_LE(image.GetWidth(), row.width);
        EXPECT_LE(image.GetHeight(), row.height);
        break;
    }
  }
  // The caption's pieces are drawn side by side, one height.
  Veltra::COImage centre, piece;
  CPngImage png;
  ASSERT_TRUE(png.ReadFile((app.m_imageFolder + L"caption_c.png").c_str(), &centre, 0));
  for (const wchar_t* name : {L"caption_r.png", L"caption_logo.png"}) {
    ASSERT_TRUE(png.ReadFile((app.m_imageFolder + name).c_str(), &piece, 0));
    EXPECT_EQ(piece.GetHeight(), centre.GetHeight()) << std::string(name, name + wcslen(name));
  }
}

// The move icons of the dictionary options point where their rows go: up or
// down, Top and Bottom at a bar that the arrow's tip touches.
TEST_F(ShippedDataTest, MoveIconsPointWhereTheRowGoes) {
  const struct {
    const wchar_t* name;
    bool up, bar;
  } icons[] = {{L"movetop.png", true, true},
               {L"moveup.png", true, false},
               {L"movedown.png", false, false},
               {L"movebottom.png", false, true}};
  for (const auto& icon : icons) {
    SCOPED_TRACE(icon.name);
    Veltra::COImage image;
    CPngImage png;
    ASSERT_TRUE(png.ReadFile((app.m_iconFolder + icon.name).c_str(), &image, 0));
    // The glyph's white ink, row by row, read from the end the arrow points at.
    std::vector<int> widths;
    for (int y = 0; y < image.GetHeight(); ++y) {
      int width = 0;
      for (int x = 0; x < image.GetWidth(); ++x) width += image.At(x, y) == 0xFFFFFFFFu;
      if (width) widths.push_back(width);
    }
    if (!icon.up) std::reverse(widths.begin(), widths.end());
    ASSERT_GE(widths.size(), 3u);
    if (icon.bar) {
      EXPECT_GT(widths.front(), widths[1]) << "no bar where the arrow points";
      widths.erase(widths.begin());
    }
    EXPECT_TRUE(std::is_sorted(widths.begin(), widths.end())) << "the arrow widens towards its tip";
    EXPECT_LT(widths.front(), widths.back());
  }
}

// ---- The dictionaries and what they render -------------------------------------------

TEST_F(ShippedDataTest, BaseDataInstallsTheWordListAndTheTextTranslation) {
  LoadDictionaries();
  CDictManager* manager = app.GetDictManager();
  const uint32_t base = app.m_uiText.GetInt(L"", L"10", 0);
  ASSERT_NE(manager->FindDict(base), nullptr);
  // The text translation matches every word; the lookup lists it last.
  CDictFile* web = manager->FindDict(1);
  ASSERT_NE(web, nullptr);
  // The road of the form's "open" event: that dictionary's entry, rendered, is the form.
  std::wstring entry;
  ASSERT_GE(web->LookupEntry(entry, L"*", 1), 0);
  const int32_t member = manager->GroupIndexOf(kGroupQuery, 1);
  ASSERT_GE(member, 0);
  ASSERT_TRUE(app.GetTextTranslator()->Load());
  web->BuildTextResult(entry, L"hello", kGroupQuery, manager->GetGroupItem(kGroupQuery, static_cast<uint32_t>(member)));
  std::unique_ptr<htmlview::Document> form = ParsePage(entry);
  ASSERT_NE(form->GetItem(L"talvane_ftt_textsrc"), nullptr) << std::string(entry.begin(), entry.end());
  EXPECT_EQ(form->GetItem(L"talvane_ftt_textsrc")->Value(), L"hello");
  EXPECT_NE(form->GetItem(L"dict_meaning_1"), nullptr);
  EXPECT_TRUE(web->IsPermanent());
  EXPECT_TRUE(web->IsGroupLocked());
  EXPECT_GE(manager->GroupIndexOf(kGroupQuery, 1), 0);
  EXPECT_LT(manager->GroupIndexOf(kGroupQuery, base), manager->GroupIndexOf(kGroupQuery, 1));
  EXPECT_GE(manager->GroupIndexOf(kGroupIndex, base), 0);
  // The popup looks words up in the grab group.
  EXPECT_GE(manager->GroupIndexOf(kGroupGrab, base), 0);
  EXPECT_TRUE(manager->LookupInGroup(L"apple", 5, true, kGroupGrab, 0xFFFFFFFF));
  // Every dictionary's languages have names, and so do the engines'.
  for (uint32_t i = 0; i < manager->GetGroupCount(kGroupQuery); ++i) {
    CDictFile* dict = manager->GetGroupDict(kGroupQuery, i);
    ASSERT_NE(dict, nullptr);
    EXPECT_FALSE(dict->GetTitle(app.m_langCode.c_str()).empty());
    EXPECT_NE(GetFileAttributesW(dict->GetIconPath().c_str()), INVALID_FILE_ATTRIBUTES);
    const DictInfoRecord* info = dict->GetInfo().GetRecord();
    ASSERT_NE(info, nullptr);
    EXPECT_NE(GetLanguageName(info->indexLanguage.c_str()), L"");
    for (const GlossaryTable& table : info->glossaries) {
      EXPECT_NE(GetLanguageName(table.sourceLanguage.c_str()), L"");
      EXPECT_NE(GetLanguageName(table.targetLanguage.c_str()), L"");
    }
  }
}

TEST_F(ShippedDataTest, LookupPagesCarryTheIdsAndLinksTheViewsUse) {
  LoadDictionaries();
  CDictManager* manager = app.GetDictManager();
  const uint32_t base = app.m_uiText.GetInt(L"", L"10", 0);
  struct Road {
    const wchar_t* reader;
    int32_t kind;
  } const kRoads[] = {{L"result view", kGroupQuery}, {L"popup", kGroupGrab}};
  for (const Road& road : kRoads) {
    SCOPED_TRACE(road.reader);
    std::vector<CDictFile*> dicts;
    std::vector<std::wstring> fragments;
    ASSERT_GE(manager->QueryGroup(dicts, fragments, L"apple", road.kind), 1u);
    std::wstring html;
    for (const std::wstring& fragment : fragments) html += fragment;
    EXPECT_EQ(html.find(L"[$"), std::wstring::npos) << "a template variable left";
    EXPECT_EQ(Directives(html), "") << "a conversion left";
    std::unique_ptr<htmlview::Document> page = ParsePage(html);
    const std::wstring id = IntToWString(base, 10), kind = IntToWString(static_cast<uint32_t>(road.kind), 10);
    // The guide scrolls to dict_<id>; the dictionary menu opens below dict_head_<id>.
    EXPECT_NE(page->GetItem(L"dict_" + id), nullptr);
    EXPECT_NE(page->GetItem(L"dict_head_" + id), nullptr);
    // Minimising a result hides dict_meaning_<id> and retitles dict_show_<id>.
    htmlview::Element* meaning = page->GetItem(L"dict_meaning_" + id);
    ASSERT_NE(meaning, nullptr);
    EXPECT_EQ(meaning->GetStyle(L"display"), L"");
    EXPECT_NE(meaning->InnerText().find(L"round fruit"), std::wstring::npos);
    htmlview::Element* show = page->GetItem(L"dict_show_" + id);
    ASSERT_NE(show, nullptr);
    EXPECT_EQ(show->Title(), Text(L"Layout", L"MinimizeResult"));
    EXPECT_EQ(show->GetAttribute(L"href"), L"app://hidemeaning/" + id + L"#" + kind);
    bool menuLink = false;
    for (htmlview::Element* element : page->All())
      menuLink = menuLink || element->GetAttribute(L"href") == L"app://dictmenu/" + id + L"#" + kind;
    EXPECT_TRUE(menuLink) << "no dictionary menu link";
  }
  // The no-match text of the lookup and the popup: the guide's spelling row scrolls to it.
  std::wstring noMatch;
  AppendFormatWString(noMatch, Text(L"WebResult", L"NoMatch").c_str(), L"xyzzy");
  std::unique_ptr<htmlview::Document> page = ParsePage(noMatch);
  ASSERT_NE(page->GetItem(L"dict_spelling"), nullptr);
  EXPECT_NE(page->GetItem(L"dict_spelling")->InnerText().find(L"xyzzy"), std::wstring::npos);
  // The popup's further actions, with their icons.
  std::wstring actions;
  AppendFormatWString(actions, Text(L"WebResult", L"MoreActions").c_str(), app.m_iconFolder.c_str(),
                      app.m_iconFolder.c_str());
  page = ParsePage(actions);
  for (htmlview::Element* element : page->All()) {
    if (!element->Is(L"img")) continue;
    std::wstring src = element->GetAttribute(L"src");
    EXPECT_NE(GetFileAttributesW(src.c_str()), INVALID_FILE_ATTRIBUTES) << std::string(src.begin(), src.end());
  }
}

TEST_F(ShippedDataTest, TextTranslationFormHasTheElementsAndHandlersItsEventsNeed) {
  ASSERT_TRUE(app.GetTextTranslator()->Load());
  CTextTranslator* translator = app.GetTextTranslator();
  translator->SetSourceText(L"hello");
  std::wstring form;
  translator->BuildFormPage(form, true, false);
  std::unique_ptr<htmlview::Document> page = ParsePage(form);
  struct FormElement {
    const wchar_t* name;
    const wchar_t* tag;
    const wchar_t* handler;  // attribute
    const wchar_t* event;    // the event its handler raises
  } const kForm[] = {
      {L"talvane_ftt_textsrc", L"textarea", L"onfocus", L"get_focus"},
      {L"talvane_ftt_textsrc", L"textarea", L"onblur", L"lost_focus"},
      {L"talvane_ftt_engine", L"select", L"onchange", L"set_engine"},
      {L"talvane_ftt_langsrc", L"select", L"onchange", L"set_langsrc"},
      {L"talvane_ftt_langdest", L"select", L"onchange", L"set_langdest"},
      // Keys pressed in a list stay in the form (Enter would look the search bar's text up again).
      {L"talvane_ftt_engine", L"select", L"onfocus", L"get_focus"},
      {L"talvane_ftt_engine", L"select", L"onblur", L"lost_focus"},
      {L"talvane_ftt_langsrc", L"select", L"onfocus", L"get_focus"},
      {L"talvane_ftt_langsrc", L"select", L"onblur", L"lost_focus"},
      {L"talvane_ftt_langdest", L"select", L"onfocus", L"get_focus"},
      {L"talvane_ftt_langdest", L"select", L"onblur", L"lost_focus"},
      {L"talvane_ftt_textdest", nullptr, nullptr, nullptr},
      {L"talvane_ftt_copyright", nullptr, nullptr, nullptr},
  };
  for (const FormElement& row : kForm) {
    SCOPED_TRACE(row.name);
    htmlview::Element* element = page->GetItem(row.name);
    if (!element) {
      ADD_FAILURE() << "missing";
      continue;
    }
    if (row.tag) {
      EXPECT_TRUE(element->Is(row.tag));
    }
    if (element->Is(L"select")) {
      EXPECT_FALSE(element->Options().empty());
    }
    // The HTML view runs handlers of the form window.navigate('...') only.
    if (row.handler) {
      EXPECT_EQ(element->GetAttribute(row.handler),
                std::wstring(L"window.navigate('app://texttranslation/") + row.event + L"')");
    }
  }
  ASSERT_NE(page->GetItem(L"talvane_ftt_textsrc"), nullptr);
  EXPECT_EQ(page->GetItem(L"talvane_ftt_textsrc")->Value(), L"hello");
  ASSERT_NE(page->GetItem(L"talvane_ftt_textdest"), nullptr);
  EXPECT_EQ(page->GetItem(L"talvane_ftt_textdest")->GetStyle(L"display"), L"none");
  bool translateLink = false;
  for (htmlview::Element* element : page->All())
    translateLink = translateLink || element->GetAttribute(L"href") == L"app://texttranslation/translate";
  EXPECT_TRUE(translateLink);
  // The choices the user state keeps name the engine and languages it offers.
  CXmlNode* engine = translator->FindEngine(app.m_userState.GetInt(L"TT", L"Engine", 0));
  ASSERT_NE(engine, nullptr);
  std::vector<std::wstring> sources, targets;
  ASSERT_TRUE(translator->GetSourceLanguages(sources, engine));
  const std::wstring source = app.m_userState.GetString(L"TT", L"LangSrc", L"");
  EXPECT_NE(std::find(sources.begin(), sources.end(), source), sources.end());
  ASSERT_TRUE(translator->GetTargetLanguages(targets, engine, source.c_str()));
  EXPECT_NE(std::find(targets.begin(), targets.end(), app.m_userState.GetString(L"TT", L"LangDest", L"")),
            targets.end());
  // Every engine has a name, and every language it offers a readable one (not a locale number).
  auto readable = [](const std::wstring& name) { return !name.empty() && !iswdigit(name[0]); };
  std::vector<CXmlNode*> engines;
  ASSERT_GT(translator->GetEngines(engines), 0u);
  for (CXmlNode* e : engines) {
    std::wstring name;
    translator->GetEngineName(name, e, app.m_langCode.c_str());
    EXPECT_FALSE(name.empty());
    std::vector<std::wstring> from, to;
    translator->GetSourceLanguages(from, e);
    for (const std::wstring& code : from) {
      EXPECT_TRUE(readable(GetLanguageName(code.c_str()))) << std::string(code.begin(), code.end());
      translator->GetTargetLanguages(to, e, code.c_str());
      for (const std::wstring& target : to)
        EXPECT_TRUE(readable(GetLanguageName(target.c_str()))) << std::string(target.begin(), target.end());
    }
  }
  // The status pages.
  for (const wchar_t* name : {L"wait_request", L"err_msg", L"parse_failed"}) {
    std::wstring status;
    EXPECT_TRUE(translator->BuildUiPage(status, name, L"Content text")) << std::string(name, name + wcslen(name));
    EXPECT_NE(status.find(L"Content text"), std::wstring::npos);
  }
}

TEST_F(ShippedDataTest, LayoutsHoldEveryPieceTheRenderersRead) {
  for (const wchar_t* style : {L"def", L"mtt"}) {
    CConfigFile layout;
    ASSERT_TRUE(LoadLayout(layout, app.m_dictFolder, style)) << std::string(style, style + 3);
    for (const LayoutRead& row : kLayoutPieces) {
      if (std::wstring(row.layout) != L"both" && std::wstring(row.layout) != style) continue;
      SCOPED_TRACE(std::wstring(L"layout_") + style + L".cfg [" + row.section + L"] " + row.key);
      const wchar_t* piece = layout.GetValue(row.section, row.key);
      if (!piece) {
        ADD_FAILURE() << "missing";
        continue;
      }
      const std::string conversions = Directives(piece);
      if (row.arguments < 0) {
        EXPECT_EQ(conversions, "") << "appended unchanged, yet it holds a conversion";
      } else {
        EXPECT_LE(conversions.size(), static_cast<size_t>(row.arguments));
        EXPECT_EQ(conversions.find_first_not_of('s'), std::string::npos) << "the arguments are texts";
      }
    }
  }
}

TEST_F(ShippedDataTest, EveryElementKindRendersThroughTheShippedLayouts) {
  // The default layout: every heading shows and nothing is left unfilled.
  const std::wstring rich = WriteDictionary(0x7001, L"def", kEveryKind);
  ASSERT_FALSE(rich.empty());
  CDictFile dict;
  ASSERT_TRUE(dict.Open(rich.c_str()));
  std::wstring html;
  dict.BuildResult(html, {0}, L"rich", kGroupQuery, nullptr);
  EXPECT_GT(html.size(), 500u);
  EXPECT_EQ(Directives(html), "") << std::string(html.begin(), html.end());
  EXPECT_EQ(html.find(L"[$"), std::wstring::npos);
  for (const wchar_t* heading : {L"Idiom", L"Idiom_JA", L"Phrase", L"PhrasalVerb", L"CommonlyPhrase", L"Etymology",
                                 L"Usage", L"Derived", L"Antonym", L"RelatedTerm", L"Reference", L"Note",
                                 L"WordHistory"})
    EXPECT_NE(html.find(Text(L"Layout", heading)), std::wstring::npos) << std::string(heading, heading + wcslen(heading));
  EXPECT_NE(html.find(Text(L"Layout", L"FindWord") + L"why"), std::wstring::npos);
  EXPECT_NE(html.find(L"dict://headword/why"), std::wstring::npos);
  // The multi-language layout: each of an item's definitions under its language's name.
  std::wstring item = L"<C A=\"0\"><F><a>rich</a></F><G><O>";
  for (int i = 0; i < 45; ++i) item += L"<d>text" + IntToWString(static_cast<uint32_t>(i), 10) + L"</d>";
  item += L"</O></G></C>";
  const std::wstring languages = WriteDictionary(0x7002, L"mtt", item);
  ASSERT_FALSE(languages.empty());
  CDictFile mtt;
  ASSERT_TRUE(mtt.Open(languages.c_str()));
  html.clear();
  mtt.BuildResult(html, {0}, L"rich", kGroupQuery, nullptr);
  EXPECT_NE(html.find(L"text44"), std::wstring::npos);
  EXPECT_EQ(Directives(html), "");
  std::unique_ptr<htmlview::Document> page = ParsePage(html);
  int named = 0;
  for (htmlview::Element* element : page->All()) {
    if (element->ClassName() != L"qd-num") continue;
    ++named;
    const std::wstring name = element->InnerText();
    EXPECT_TRUE(name.size() > 1 && !iswdigit(name[0])) << "a definition without its language's name";
  }
  EXPECT_EQ(named, 45);
}

}  // namespace
