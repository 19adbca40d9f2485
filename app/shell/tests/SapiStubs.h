// Stubs of the SAPI interfaces that the speech tests fake: every method
// answers E_NOTIMPL (or null) until a fake overrides it. Made from the SDK header.
#pragma once

#include <sapi.h>

class StubISpVoice : public ISpVoice {
 public:
  virtual ~StubISpVoice() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE SetNotifySink(ISpNotifySink *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetNotifyWindowMessage(HWND, UINT, WPARAM, LPARAM) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetNotifyCallbackFunction(SPNOTIFYCALLBACK *, WPARAM, LPARAM) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetNotifyCallbackInterface(ISpNotifyCallback *, WPARAM, LPARAM) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetNotifyWin32Event() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE WaitForNotifyEvent(DWORD) override { return E_NOTIMPL; }
  HANDLE STDMETHODCALLTYPE GetNotifyEventHandle() override { return nullptr; }
  HRESULT STDMETHODCALLTYPE SetInterest(ULONGLONG, ULONGLONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetEvents(ULONG, SPEVENT *, ULONG *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetInfo(SPEVENTSOURCEINFO *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetOutput(IUnknown *, WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetOutputObjectToken(ISpObjectToken **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetOutputStream(ISpStreamFormat **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Pause() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Resume() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetVoice(ISpObjectToken *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVoice(ISpObjectToken **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Speak(LPCWSTR, DWORD, ULONG *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SpeakStream(IStream *, DWORD, ULONG *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStatus(SPVOICESTATUS *, LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Skip(LPCWSTR, LONG, ULONG *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPriority(SPVPRIORITY) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetPriority(SPVPRIORITY *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetAlertBoundary(SPEVENTENUM) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetAlertBoundary(SPEVENTENUM *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetRate(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetRate(LONG *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetVolume(USHORT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVolume(USHORT *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE WaitUntilDone(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSyncSpeakTimeout(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSyncSpeakTimeout(ULONG *) override { return E_NOTIMPL; }
  HANDLE STDMETHODCALLTYPE SpeakCompleteEvent() override { return nullptr; }
  HRESULT STDMETHODCALLTYPE IsUISupported(LPCWSTR, void *, ULONG, WINBOOL *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DisplayUI(HWND, LPCWSTR, LPCWSTR, void *, ULONG) override { return E_NOTIMPL; }
  ULONG m_refs = 1;
};

class StubISpObjectTokenCategory : public ISpObjectTokenCategory {
 public:
  virtual ~StubISpObjectTokenCategory() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE SetData(LPCWSTR, ULONG, const BYTE *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetData(LPCWSTR, ULONG *, BYTE *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStringValue(LPCWSTR, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStringValue(LPCWSTR, LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDWORD(LPCWSTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDWORD(LPCWSTR, DWORD *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OpenKey(LPCWSTR, ISpDataKey **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateKey(LPCWSTR, ISpDataKey **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteKey(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteValue(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumKeys(ULONG, LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumValues(ULONG, LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetId(LPCWSTR, WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetId(LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDataKey(SPDATAKEYLOCATION, ISpDataKey **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumTokens(LPCWSTR, LPCWSTR, IEnumSpObjectTokens **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDefaultTokenId(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDefaultTokenId(LPWSTR *) override { return E_NOTIMPL; }
  ULONG m_refs = 1;
};

class StubIEnumSpObjectTokens : public IEnumSpObjectTokens {
 public:
  virtual ~StubIEnumSpObjectTokens() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG, ISpObjectToken **, ULONG *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumSpObjectTokens **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Item(ULONG, ISpObjectToken **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCount(ULONG *) override { return E_NOTIMPL; }
  ULONG m_refs = 1;
};

class StubISpObjectToken : public ISpObjectToken {
 public:
  virtual ~StubISpObjectToken() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE SetData(LPCWSTR, ULONG, const BYTE *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetData(LPCWSTR, ULONG *, BYTE *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStringValue(LPCWSTR, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStringValue(LPCWSTR, LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDWORD(LPCWSTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDWORD(LPCWSTR, DWORD *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OpenKey(LPCWSTR, ISpDataKey **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateKey(LPCWSTR, ISpDataKey **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteKey(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteValue(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumKeys(ULONG, LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumValues(ULONG, LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetId(LPCWSTR, LPCWSTR, WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetId(LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCategory(ISpObjectTokenCategory **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *, DWORD, REFIID, void **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStorageFileName(REFCLSID, LPCWSTR, LPCWSTR, ULONG, LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RemoveStorageFileName(REFCLSID, LPCWSTR, WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Remove(const CLSID *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsUISupported(LPCWSTR, void *, ULONG, IUnknown *, WINBOOL *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DisplayUI(HWND, LPCWSTR, LPCWSTR, void *, ULONG, IUnknown *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE MatchesAttributes(LPCWSTR, WINBOOL *) override { return E_NOTIMPL; }
  ULONG m_refs = 1;
};

class StubISpDataKey : public ISpDataKey {
 public:
  virtual ~StubISpDataKey() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE SetData(LPCWSTR, ULONG, const BYTE *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetData(LPCWSTR, ULONG *, BYTE *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStringValue(LPCWSTR, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetStringValue(LPCWSTR, LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetDWORD(LPCWSTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDWORD(LPCWSTR, DWORD *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OpenKey(LPCWSTR, ISpDataKey **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CreateKey(LPCWSTR, ISpDataKey **) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteKey(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteValue(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumKeys(ULONG, LPWSTR *) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumValues(ULONG, LPWSTR *) override { return E_NOTIMPL; }
  ULONG m_refs = 1;
};

