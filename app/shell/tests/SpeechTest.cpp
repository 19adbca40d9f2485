#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/shell/AppServices.h"
#include "app/shell/SpeechVoice.h"
#include "app/shell/tests/SapiStubs.h"
#include "app/shell/tests/ShellTestKit.h"

namespace {

class FakeVoice : public StubISpVoice {
 public:
  HRESULT STDMETHODCALLTYPE Speak(LPCWSTR text, DWORD flags, ULONG*) override {
    spoken.push_back(text ? text : L"");
    this->flags.push_back(flags);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSyncSpeakTimeout(ULONG ms) override {
    timeout = ms;
    return S_OK;
  }
  std::vector<std::wstring> spoken;
  std::vector<DWORD> flags;
  ULONG timeout = 0;
};

// Strings handed out as SAPI does: the caller frees them with CoTaskMemFree.
HRESULT TaskString(const std::wstring& text, LPWSTR* out) {
  *out = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
  wcscpy(*out, text.c_str());
  return S_OK;
}

class FakeDataKey : public StubISpDataKey {
 public:
  HRESULT STDMETHODCALLTYPE GetStringValue(LPCWSTR name, LPWSTR* out) override {
    if (!name || wcscmp(name, L"Name") != 0 || voiceName.empty()) return E_FAIL;
    return TaskString(voiceName, out);
  }
  std::wstring voiceName;
};

class FakeToken : public StubISpObjectToken {
 public:
  HRESULT STDMETHODCALLTYPE OpenKey(LPCWSTR name, ISpDataKey** out) override {
    if (!hasAttributes || wcscmp(name, L"Attributes") != 0) return E_FAIL;
    attributes.AddRef();
    *out = &attributes;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetStringValue(LPCWSTR name, LPWSTR* out) override {
    if (name && *name) return E_FAIL;
    return TaskString(description, out);
  }
  bool hasAttributes = true;
  std::wstring description;
  FakeDataKey attributes;
};

class FakeEnum : public StubIEnumSpObjectTokens {
 public:
  HRESULT STDMETHODCALLTYPE GetCount(ULONG* count) override {
    *count = static_cast<ULONG>(tokens.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG, ISpObjectToken** out, ULONG*) override {
    if (next >= tokens.size()) return S_FALSE;
    tokens[next]->AddRef();
    *out = tokens[next++];
    return S_OK;
  }
  std::vector<FakeToken*> tokens;
  size_t next = 0;
};

class FakeCategory : public StubISpObjectTokenCategory {
 public:
  HRESULT STDMETHODCALLTYPE SetId(LPCWSTR id, WINBOOL create) override {
    this->id = id;
    createIfMissing = create;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumTokens(LPCWSTR, LPCWSTR, IEnumSpObjectTokens** out) override {
    tokens.next = 0;
    tokens.AddRef();
    *out = &tokens;
    return S_OK;
  }
  std::wstring id;
  WINBOOL createIfMissing = TRUE;
  FakeEnum tokens;
};

class SpeechTest : public ::testing::Test {
 protected:
  SpeechTest() {
    s_test = this;
    previousVoice = SetSpeechVoiceFactory(&MakeVoice);
    previousCategory = SetTokenCategoryFactory(&MakeCategory);
    previousOpen = SetShellOpenHandler(&RecordOpen);
    opened.clear();
    app.m_uiText.SetValue(L"Link", L"Command", L"http://q.example/[$cmd]");
    app.m_uiText.SetValue(L"Message", L"OpenSpeechEngineFail", L"No speech engine");
    app.m_uiText.SetValue(L"Speech", L"SpeakXML",
                          L"<voice required=\"Name=[$voice]\"><rate absspeed=\"[$rate]\"/>[$text]|[$volume]|[$pitch]</voice>");
    app.m_settings.SetValue(L"Speech", L"Voice", L"A&B \"Q\"");
    app.m_settings.SetValue(L"Speech", L"Rate", L"2");
    app.m_settings.SetValue(L"Speech", L"Volume", L"80");
    app.m_settings.SetValue(L"Speech", L"Pitch", L"-1");
  }
  ~SpeechTest() override {
    app.m_voice.Release();
    SetSpeechVoiceFactory(previousVoice);
    SetTokenCategoryFactory(previousCategory);
    SetShellOpenHandler(previousOpen);
    for (FakeToken* token : category.tokens.tokens) delete token;
  }
  void AddVoice(const wchar_t* name, const wchar_t* description, bool attributes = true) {
    FakeToken* token = new FakeToken;
    token->hasAttributes = attributes;
    token->attributes.voiceName = name;
    token->description = description;
    category.tokens.tokens.push_back(token);
  }

  static HRESULT MakeVoice(ISpVoice** out) {
    ++s_test->voiceRequests;
    if (!s_test->voiceAvailable) return REGDB_E_CLASSNOTREG;
    s_test->voice.AddRef();
    *out = &s_test->voice;
    return S_OK;
  }
  static HRESULT MakeCategory(ISpObjectTokenCategory** out) {
    s_test->category.AddRef();
    *out = &s_test->category;
    return S_OK;
  }
  static bool RecordOpen(HWND, const wchar_t* verb, const wchar_t* file, const wchar_t*) {
    opened.push_back(std::wstring(verb) + L" " + file);
    return true;
  }

  static SpeechTest* s_test;
  static std::vector<std::wstring> opened;
  FakeVoice voice;
  FakeCategory category;
  bool voiceAvailable = true;
  int voiceRequests = 0;
  SpeechVoiceFactory previousVoice;
  TokenCategoryFactory previousCategory;
  ShellOpenHandler previousOpen;
  CQuorindoApp app;
};

SpeechTest* SpeechTest::s_test = nullptr;
std::vector<std::wstring> SpeechTest::opened;

TEST_F(SpeechTest, AWordIsEscapedIntoTheMarkupAndSpokenAsynchronously) {
  const wchar_t word[] = L"R&D <x> \"q\" 'a' rest";
  app.SpeakWord(word, 15);
  ASSERT_EQ(voice.spoken.size(), 1u);
  EXPECT_EQ(voice.spoken[0],
            L"<voice required=\"Name=A&amp;B &quot;Q&quot;\"><rate absspeed=\"2\"/>"
            L"R&amp;D &lt;x&gt; &quot;q&quot; &apos;a&apos;|80|-1</voice>");
  EXPECT_EQ(voice.flags[0], 11u);
  EXPECT_EQ(voice.timeout, 10000u);
  EXPECT_EQ(voiceRequests, 1);
}

TEST_F(SpeechTest, EveryWordPurgesTheOneBeingSpoken) {
  app.SpeakWord(L"one", 3);
  app.SpeakWord(L"two", 3);
  ASSERT_EQ(voice.flags.size(), 2u);
  for (DWORD f : voice.flags) EXPECT_TRUE(f & SPF_PURGEBEFORESPEAK);
  EXPECT_EQ(voiceRequests, 1);  // the voice is made once
}

TEST_F(SpeechTest, NothingToSayOpensNothing) {
  app.SpeakWord(nullptr, 3);
  app.SpeakWord(L"x", 0);
  EXPECT_EQ(voiceRequests, 0);
  // Without a template the markup is empty and nothing is spoken.
  app.m_uiText.SetValue(L"Speech", L"SpeakXML", L"");
  app.SpeakWord(L"x", 1);
  EXPECT_TRUE(voice.spoken.empty());
}

TEST_F(SpeechTest, WithoutAVoiceTheUserIsAskedEachTime) {
  voiceAvailable = false;
  {
    MessageBoxRecorder box(IDNO);
    app.SpeakWord(L"word", 4);
    EXPECT_EQ(MessageBoxRecorder::count, 1);
    EXPECT_EQ(MessageBoxRecorder::last, L"No speech engine");
    EXPECT_EQ(MessageBoxRecorder::lastType, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_TRUE(opened.empty());
  }
  {
    MessageBoxRecorder box(IDYES);
    app.SpeakWord(L"word", 4);
    EXPECT_EQ(MessageBoxRecorder::count, 1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], L"open http://q.example/speech");
  }
  EXPECT_EQ(voiceRequests, 2);
  EXPECT_EQ(app.GetSpeechVoice(), nullptr);
}

TEST_F(SpeechTest, TheVoiceListIsReadWhenTheVoiceOpens) {
  AddVoice(L"Anna", L"Anna - English");
  AddVoice(L"Bert", L"Bert - German");
  ASSERT_NE(app.GetSpeechVoice(), nullptr);
  EXPECT_EQ(category.id, L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Speech\\Voices");
  EXPECT_FALSE(category.createIfMissing);
  ASSERT_EQ(app.GetVoiceList().size(), 2u);
  EXPECT_EQ(app.GetVoiceList()[0], SpeechVoiceEntry(L"Anna", L"Anna - English"));
  EXPECT_EQ(app.GetVoiceList()[1], SpeechVoiceEntry(L"Bert", L"Bert - German"));
  // Every reference SAPI handed out was given back.
  EXPECT_EQ(category.m_refs, 1u);
  EXPECT_EQ(category.tokens.m_refs, 1u);
  for (FakeToken* token : category.tokens.tokens) {
    EXPECT_EQ(token->m_refs, 1u);
    EXPECT_EQ(token->attributes.m_refs, 1u);
  }
  EXPECT_EQ(voice.m_refs, 2u);  // the application holds its voice
  app.ExitInstance();
  EXPECT_EQ(voice.m_refs, 1u);
}

TEST_F(SpeechTest, TheListEndsAtAVoiceThatCannotBeRead) {
  struct Case {
    const wchar_t* name;
    bool attributes;
  } cases[] = {{L"", true}, {L"Carl", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    for (FakeToken* token : category.tokens.tokens) delete token;
    category.tokens.tokens.clear();
    AddVoice(L"Anna", L"Anna - English");
    AddVoice(c.name, L"Broken", c.attributes);
    AddVoice(L"Bert", L"Bert - German");
    std::vector<std::pair<std::wstring, std::wstring>> list = {{L"old", L"entry"}};
    EnumSpeechVoices(list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].first, L"Anna");
  }
}

TEST_F(SpeechTest, AVoiceObjectOwnsOneReference) {
  CSpeechVoice v;
  EXPECT_FALSE(v.IsOpen());
  EXPECT_FALSE(v.Speak(L"x", 0));
  EXPECT_FALSE(v.SetSyncSpeakTimeout(5));
  ASSERT_TRUE(v.Create());
  EXPECT_EQ(voice.m_refs, 2u);
  ASSERT_TRUE(v.Create());  // a new voice replaces the old reference
  EXPECT_EQ(voice.m_refs, 2u);
  EXPECT_FALSE(v.Speak(L"", 0));
  EXPECT_FALSE(v.Speak(nullptr, 0));
  EXPECT_TRUE(v.Speak(L"x", 1));
  v.Release();
  EXPECT_FALSE(v.IsOpen());
  EXPECT_EQ(voice.m_refs, 1u);
}

}  // namespace
