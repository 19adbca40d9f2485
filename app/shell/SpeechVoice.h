// One SAPI 5 voice and the list of installed voices.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct ISpVoice;
struct ISpObjectTokenCategory;

class CSpeechVoice {
 public:
  CSpeechVoice() = default;
  virtual ~CSpeechVoice();
  CSpeechVoice(const CSpeechVoice&) = delete;
  CSpeechVoice& operator=(const CSpeechVoice&) = delete;

  // Releases any held voice, creates a new one; sync speak time-out 10000 ms.
  bool Create();
  void Release();
  bool IsOpen() const { return m_voice != nullptr; }
  bool Speak(const wchar_t* text, DWORD flags, ULONG* streamNumber = nullptr);
  bool SetSyncSpeakTimeout(ULONG ms);

 private:
  ISpVoice* m_voice = nullptr;
};

// Fills the list with (name, description) of each installed voice, in order,
// up to the first token that cannot be read.
void EnumSpeechVoices(std::vector<std::pair<std::wstring, std::wstring>>& list);
HRESULT SpGetCategoryFromId(const wchar_t* categoryId, ISpObjectTokenCategory** category, BOOL createIfMissing);

// Seams for tests: what creates the voice object and the token category
// (CoCreateInstance by default). A null factory restores the default.
using SpeechVoiceFactory = HRESULT (*)(ISpVoice** out);
using TokenCategoryFactory = HRESULT (*)(ISpObjectTokenCategory** out);
SpeechVoiceFactory SetSpeechVoiceFactory(SpeechVoiceFactory factory);
TokenCategoryFactory SetTokenCategoryFactory(TokenCategoryFactory factory);
