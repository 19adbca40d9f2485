#include "app/shell/SpeechVoice.h"

#include <initguid.h>
#include <sapi.h>

#include "app/shell/AppServices.h"
#include "app/shell/QuorindoApp.h"
#include "core/StrUtil.h"
#include "core/UiSeam.h"
#include "core/XmlDocument.h"

namespace {

constexpr wchar_t kVoicesCategory[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices";
constexpr DWORD kSpeakFlags = SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_XML;  // 11

HRESULT CreateSystemVoice(ISpVoice** out) {
  return CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, reinterpret_cast<void**>(out));
}

HRESULT CreateSystemTokenCategory(ISpObjectTokenCategory** out) {
  return CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL, IID_ISpObjectTokenCategory,
                          reinterpret_cast<void**>(out));
}

SpeechVoiceFactory g_voiceFactory = &CreateSystemVoice;
TokenCategoryFactory g_categoryFactory = &CreateSystemTokenCategory;

// One reference to a COM interface, released when it goes.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (m_p) m_p->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** Out() { return &m_p; }
  T* operator->() const { return m_p; }
  T* Get() const { return m_p; }
  T* Detach() {
    T* p = m_p;
    m_p = nullptr;
    return p;
  }

 private:
  T* m_p = nullptr;
};

// A string that SAPI allocated, freed with CoTaskMemFree.
class TaskText {
 public:
  TaskText() = default;
  ~TaskText() { CoTaskMemFree(m_text); }
  TaskText(const TaskText&) = delete;
  TaskText& operator=(const TaskText&) = delete;
  LPWSTR* Out() { return &m_text; }
  const wchar_t* Get() const { return m_text ? m_text : L""; }

 private:
  LPWSTR m_text = nullptr;
};

}  // namespace

SpeechVoiceFactory SetSpeechVoiceFactory(SpeechVoiceFactory factory) {
  SpeechVoiceFactory previous = g_voiceFactory;
  g_voiceFactory = factory ? factory : &CreateSystemVoice;
  return previous;
}

TokenCategoryFactory SetTokenCategoryFactory(TokenCategoryFactory factory) {
  TokenCategoryFactory previous = g_categoryFactory;
  g_categoryFactory = factory ? factory : &CreateSystemTokenCategory;
  return previous;
}

// ---- CSpeechVoice --------------------------------------------------------------

CSpeechVoice::~CSpeechVoice() { Release(); }

bool CSpeechVoice::Create() {
  Release();
  ISpVoice* voice = nullptr;
  if (FAILED(g_voiceFactory(&voice)) || !voice) return false;
  m_voice = voice;
  SetSyncSpeakTimeout(10000);
  return true;
}

void CSpeechVoice::Release() {
  if (m_voice) m_voice->Release();
  m_voice = nullptr;
}

bool CSpeechVoice::Speak(const wchar_t* text, DWORD flags, ULONG* streamNumber) {
  if (!m_voice || !text || !*text) return false;
  return SUCCEEDED(m_voice->Speak(text, flags, streamNumber));
}

bool CSpeechVoice::SetSyncSpeakTimeout(ULONG ms) {
  return m_voice && SUCCEEDED(m_voice->SetSyncSpeakTimeout(ms));
}

// ---- Voice list ----------------------------------------------------------------

HRESULT SpGetCategoryFromId(const wchar_t* categoryId, ISpObjectTokenCategory** category, BOOL createIfMissing) {
  if (!category) return E_POINTER;
  *category = nullptr;
  ComRef<ISpObjectTokenCategory> made;
  HRESULT hr = g_categoryFactory(made.Out());
  if (SUCCEEDED(hr) && !made.Get()) hr = E_FAIL;
  if (SUCCEEDED(hr)) hr = made->SetId(categoryId, createIfMissing);
  if (SUCCEEDED(hr)) *category = made.Detach();
  return hr;
}

void EnumSpeechVoices(std::vector<std::pair<std::wstring, std::wstring>>& list) {
  list.clear();
  ComRef<ISpObjectTokenCategory> category;
  if (FAILED(SpGetCategoryFromId(kVoicesCategory, category.Out(), FALSE))) return;
  ComRef<IEnumSpObjectTokens> tokens;
  if (FAILED(category->EnumTokens(nullptr, nullptr, tokens.Out())) || !tokens.Get()) return;
  ULONG count = 0;
  if (FAILED(tokens->GetCount(&count))) return;
  for (ULONG i = 0; i < count; ++i) {
    ComRef<ISpObjectToken> token;
    if (tokens->Next(1, token.Out(), nullptr) != S_OK || !token.Get()) return;
    ComRef<ISpDataKey> attributes;
    if (FAILED(token->OpenKey(L"Attributes", attributes.Out())) || !attributes.Get()) return;
    TaskText name, description;
    if (FAILED(attributes->GetStringValue(L"Name", name.Out()))) return;
    if (FAILED(token->GetStringValue(nullptr, description.Out()))) return;
    list.emplace_back(name.Get(), description.Get());
  }
}

// ---- Speaking ------------------------------------------------------------------

void CQuorindoApp::SpeakWord(const wchar_t* text, uint32_t length) {
  if (!text || length == 0) return;
  CSpeechVoice* voice = GetSpeechVoice();
  if (!voice) {
    const std::wstring question = m_uiText.GetString(L"Message", L"OpenSpeechEngineFail");
    if (ShowMessageBox(CWnd::HwndOf(m_pMainWnd), question.c_str(), AfxGetAppName(), MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
      OpenCommandLink(L"speech", CWnd::HwndOf(m_pMainWnd));
    return;
  }
  std::wstring word, voiceName;
  EscapeXmlAttribute(word, std::wstring(text, length).c_str());
  EscapeXmlAttribute(voiceName, m_settings.GetString(L"Speech", L"Voice").c_str());
  std::wstring markup = m_uiText.GetString(L"Speech", L"SpeakXML");
  ReplaceAll(markup, L"[$voice]", voiceName.c_str());
  ReplaceAll(markup, L"[$rate]", m_settings.GetString(L"Speech", L"Rate").c_str());
  ReplaceAll(markup, L"[$volume]", m_settings.GetString(L"Speech", L"Volume").c_str());
  ReplaceAll(markup, L"[$pitch]", m_settings.GetString(L"Speech", L"Pitch").c_str());
  ReplaceAll(markup, L"[$text]", word.c_str());
  voice->Speak(markup.c_str(), kSpeakFlags, nullptr);
}
