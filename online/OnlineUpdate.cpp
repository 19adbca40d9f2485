#include "online/OnlineUpdate.h"

#include <process.h>

#include <cstring>
#include <cwchar>
#include <memory>

#include "core/FileUtil.h"
#include "core/Md5.h"
#include "core/ScopedHandle.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "core/XmlDocument.h"
#include "online/OnlineText.h"
#include "online/UpdateInternal.h"

namespace {

using namespace update_internal;

const wchar_t kCallWindowClass[] = L"QuorindoUpdateCalls";
constexpr UINT kMsgDictCall = WM_APP + 35;

std::wstring FormatTime(HttpTime t, int style) {
  std::wstring text;
  if (t != -1) FormatTimeString(text, &t, style);
  return text;
}

// Parses a body as an XML document; the parser wants the text NUL-terminated.
bool ParseBody(CXmlDocument& document, const std::string& body) {
  std::string text(body);
  text.append(2, '\0');
  return document.Parse(text.data(), kXmlAllFlags);
}

std::string ToUtf8(const std::wstring& text) {
  std::string out;
  WStringToUtf8(out, text.c_str(), static_cast<int>(text.size()));
  return out;
}

// A dictionary command handed from the update worker to the GUI thread.
// Whoever moves state from pending first owns it: the GUI thread to run it,
// the worker to give it up when a stop comes first.
struct DictCall {
  enum { kPending, kRunning, kAbandoned };
  std::atomic<int> state{kPending};
  IUpdateDictManager* manager = nullptr;
  int operation = kDictInstall;
  std::wstring path;
  uint32_t id = 0;
  bool index = false, grab = false;
  bool result = false;
  uint32_t newId = static_cast<uint32_t>(-1);
  ScopedHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};

  void Run() {
    if (!manager) return;
    if (operation == kDictInstall) {
      result = manager->InstallDict(newId, path.c_str(), 0);
      if (!result) return;
      if (index) manager->AddToGroup(2, newId);
      if (grab) manager->AddToGroup(4, newId);
      // The group choice is part of the step: a configuration that cannot take it fails the step.
      result = manager->SaveConfig();
    } else {
      result = !manager->HasDict(id) || manager->UninstallDict(id);
    }
  }
};

LRESULT CALLBACK DictCallProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kMsgDictCall) return DefWindowProcW(window, message, wParam, lParam);
  std::unique_ptr<std::shared_ptr<DictCall>> holder(reinterpret_cast<std::shared_ptr<DictCall>*>(lParam));
  DictCall& call = **holder;
  int expected = DictCall::kPending;
  if (call.state.compare_exchange_strong(expected, DictCall::kRunning)) {
    call.Run();
    SetEvent(call.done.Get());
  }
  return 0;
}

HWND CreateCallWindow() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DictCallProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kCallWindowClass;
    registered = RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  return CreateWindowExW(0, kCallWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                         nullptr);
}

}  // namespace

bool VerifyMD5Hex(const wchar_t* expected, const void* bytes, uint32_t length) {
  if (!expected || !bytes || std::wcslen(expected) != 32) return false;
  uint8_t wanted[16];
  for (int i = 0; i < 16; ++i)
    if (!HexPairToByte(&wanted[i], expected[2 * i], expected[2 * i + 1])) return false;
  uint8_t digest[16];
  MD5Digest(digest, static_cast<const uint8_t*>(bytes), length);
  return std::memcmp(digest, wanted, 16) == 0;
}

COnlineUpdate::COnlineUpdate(IOnlineHost* host)
    : m_host(host), m_stopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_callWindow(CreateCallWindow()) {}

COnlineUpdate::~COnlineUpdate() {
  // The worker uses this object: it must have ended before the object goes.
  if (!Stop() && m_thread) WaitForSingleObject(m_thread, INFINITE);
  CloseFinishedWorker();
  if (m_callWindow) {
    // Calls still queued were given up by the worker; only their records remain.
    MSG msg;
    while (PeekMessageW(&msg, m_callWindow, kMsgDictCall, kMsgDictCall, PM_REMOVE))
      delete reinterpret_cast<std::shared_ptr<DictCall>*>(msg.lParam);
    DestroyWindow(m_callWindow);
  }
  if (m_stopEvent) CloseHandle(m_stopEvent);
}

bool COnlineUpdate::LoadUpdateIni() {
  std::wstring path = m_host->GetUpdateFolder() + L"update.ini";
  std::lock_guard<std::mutex> hold(m_storeLock);
  return m_store.Load(path.c_str(), nullptr, CConfigFile::kReplaceStore, 0);
}

std::wstring COnlineUpdate::GetUpdateValue(const wchar_t* key) {
  std::lock_guard<std::mutex> hold(m_storeLock);
  std::wstring value;
  m_store.FindValue(L"Version", key, value);
  return value;
}

bool COnlineUpdate::IsRunning() const { return m_thread && !m_finished; }

void COnlineUpdate::CloseFinishedWorker() {
  if (!m_thread || !m_finished) return;
  WaitForSingleObject(m_thread, INFINITE);  // it has only its return left
  CloseHandle(m_thread);
  m_thread = nullptr;
}

bool COnlineUpdate::Start(HWND owner, UINT message) {
  CloseFinishedWorker();
  if (m_thread || !m_stopEvent) return false;
  ResetEvent(m_stopEvent);
  m_finished = false;
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, nullptr));
  if (!thread) return false;
  m_thread = thread;

  std::wstring host, user, password;
  uint16_t port = 0;
  if (m_host->GetConnectionSetting(host, port, user, password)) {
    SetProxy(ToUtf8(host).c_str(), port, ToUtf8(user).c_str(), ToUtf8(password).c_str());
    EnableProxy(true);
  } else {
    SetProxy("", 0, "", "");
    EnableProxy(false);
  }
  SetNotify(owner, message);
  ResumeThread(thread);
  return true;
}

bool COnlineUpdate::Stop(DWORD timeoutMs) {
  if (m_stopEvent) SetEvent(m_stopEvent);
  if (!m_thread) return true;
  if (WaitForSingleObject(m_thread, timeoutMs) != WAIT_OBJECT_0) return false;
  m_finished = true;
  CloseFinishedWorker();
  return true;
}

bool COnlineUpdate::IsStopRequested() const { return WaitForSingleObject(m_stopEvent, 0) != WAIT_TIMEOUT; }

unsigned __stdcall COnlineUpdate::ThreadProc(void* self) {
  COnlineUpdate* update = static_cast<COnlineUpdate*>(self);
  std::pair<int, int> result = update->RunCheck();
  HWND owner = update->m_ownerWindow;
  UINT message = update->m_ownerMessage;
  update->m_finished = true;
  if (owner && IsWindow(owner)) PostMessageW(owner, message, result.first, result.second);
  return 0;
}

bool COnlineUpdate::Download(std::string& body, const std::wstring& url, int32_t method,
                             const std::vector<std::pair<std::wstring, std::wstring>>* fields) {
  body.clear();
  CHttpRequest& request = GetRequest();
  request.Reset();
  if (url.empty() || method == kHttpNone) return false;
  request.SetMethod(method);
  if (!request.SetUrl(ToUtf8(url).c_str())) return false;
  if (fields)
    for (const auto& field : *fields) request.AddFormField(ToUtf8(field.first).c_str(), ToUtf8(field.second).c_str());
  request.SetFormType(0);
  std::string language = ToUtf8(m_host->GetUiLanguage());
  if (!SendRequest(true, nullptr, language.c_str(), m_stopEvent)) return false;
  const CHttpResponse& response = GetResponse();
  if (response.GetStatusCode() != 200) return false;
  uint32_t length = response.GetBodyLength();
  return response.GetBody(body, 0, length) == length && body.size() == length;
}

bool COnlineUpdate::FetchDescription(CXmlDocument& document, uint32_t& id, HttpTime& time) {
  document.Clear();
  id = 0;
  time = -1;
  std::vector<std::wstring> urls;
  m_host->GetUiTexts().GetStringList(L"Link", L"Update", urls);
  std::string body;
  bool fetched = false;
  for (std::wstring& url : urls) {
    if (url.size() >= 2 && url.front() == L'"' && url.back() == L'"' && url[url.size() - 2] != L'\\')
      url = url.substr(1, url.size() - 2);
    UnescapeWString(url);
    if (Download(body, url, kHttpGet, nullptr)) {
      fetched = true;
      break;
    }
  }
  if (!fetched || !ParseBody(document, body)) return false;
  CXmlElement* root = document.GetRoot();
  if (!root) return false;
  root->GetIntAttribute(&id, L"id", 0);
  std::wstring timeText;
  root->GetAttribute(timeText, L"time");
  time = ParseTimeString(timeText.c_str());
  return id != 0 && time != -1;
}

bool COnlineUpdate::SaveDescription(CXmlDocument& document, uint32_t id, HttpTime time) {
  const std::wstring updateFolder = m_host->GetUpdateFolder();
  std::wstring folder = updateFolder + IntToWString(id, 10) + L"\\";
  if (!CreateDirectoryPath(folder.c_str())) return false;
  XmlPrintOptions options = {0, 1};
  std::wstring file = folder + L"uf_" + FormatTime(time, 5) + L".xml";
  if (!document.SaveFile(file.c_str(), 0, &options, nullptr)) return false;

  std::wstring text(1, L'\xFEFF');
  {
    std::lock_guard<std::mutex> hold(m_storeLock);
    m_store.SetValue(L"Version", L"ID", IntToWString(id, 10));
    m_store.SetValue(L"Version", L"Time", FormatTime(time, 0));
    m_store.SetValue(L"Version", L"UpdateTime", FormatTime(HttpNow(), 0));
    m_store.FormatIni(text, true);
  }
  // A check that dies half-way must not leave a cut "update.ini": without it
  // the program does not start.
  std::wstring path = updateFolder + L"update.ini";
  return WriteFileReplacing(path.c_str(), text.data(), static_cast<uint32_t>(text.size() * sizeof(wchar_t)));
}

std::pair<int, int> COnlineUpdate::RunCheck() {
  CXmlDocument document;
  uint32_t remoteId = 0;
  HttpTime remoteTime = -1;
  if (!FetchDescription(document, remoteId, remoteTime)) return {0, 0};
  uint32_t localId = static_cast<uint32_t>(std::wcstoul(GetUpdateValue(L"ID").c_str(), nullptr, 0));
  HttpTime localTime = ParseTimeString(GetUpdateValue(L"Time").c_str());
  CXmlElement* root = document.GetRoot();
  if (!BoolAttribute(root, L"required")) {
    if (localId > remoteId) return {1, 0};
    if (localId == remoteId) {
      if (localTime >= remoteTime) return {1, 0};
      return SaveDescription(document, remoteId, remoteTime) ? std::make_pair(1, 1) : std::make_pair(0, 0);
    }
  }
  CXmlNode* upgrade = root->FindChildElement(L"upgrade", kXmlElement, 0);
  if (!upgrade) return {0, 0};
  int result = 0;
  for (CXmlNode* child = upgrade->FirstChild(); child && result <= 0; child = child->NextSibling())
    if (child->Kind() == kXmlElement && child->IsNamed(L"url"))
      result = RunUpgrade(child, localId, localTime);
  if (result <= 0) return {0, 0};
  // Recorded only once the script ran through: one that failed part-way is
  // tried again at the next check (its commands are meant to repeat).
  if (!SaveDescription(document, remoteId, remoteTime)) return {0, 0};
  return {1, result};
}

int COnlineUpdate::RunUpgrade(CXmlNode* offer, uint32_t localId, HttpTime localTime) {
  std::wstring method = Attribute(offer, L"method");
  std::wstring md5 = Attribute(offer, L"md5");
  std::wstring url;
  offer->GetText(url);
  TrimWString(url, kBlanks, 0);
  int32_t httpMethod = ParseHttpMethod(ToUtf8(method).c_str());
  if (httpMethod == kHttpNone) return 0;

  std::vector<std::pair<std::wstring, std::wstring>> fields = {
      {L"uid", IntToWString(localId, 10)},
      {L"utime", FormatTime(localTime, 0)},
      {L"ver", IntToWString(m_host->GetBuildNumber() & 0xFFFF, 10)},
      {L"lang", m_host->GetUiLanguage()},
  };
  std::string body;
  if (!Download(body, url, httpMethod, &fields)) return 0;
  if (!md5.empty() && !VerifyMD5Hex(md5.c_str(), body.data(), static_cast<uint32_t>(body.size()))) return 0;
  CXmlDocument document;
  if (!ParseBody(document, body)) return 0;
  uint32_t uid = 0;
  document.GetRoot()->GetIntAttribute(&uid, L"id", 0);
  std::wstring folder = m_host->GetUpdateFolder() + IntToWString(uid, 10) + L"\\";
  if (!CreateDirectoryPath(folder.c_str())) return 0;
  std::wstring file = folder + L"upgrade.xml";
  if (!WriteWholeFile(file.c_str(), body.data(), static_cast<uint32_t>(body.size()))) return 0;
  CXmlNode* action = document.GetRoot()->FindChildElement(L"action", kXmlElement, 0);
  if (!action || !DownloadFiles(action, folder)) return 0;
  return RunScript(action, folder);
}

bool COnlineUpdate::DownloadFiles(CXmlNode* action, const std::wstring& folder) {
  uint32_t n = 0;
  std::string body;
  for (CXmlNode* child = action->FirstChild(); child; child = child->NextSibling()) {
    if (IsStopRequested()) return false;
    if (child->Kind() != kXmlElement || !child->IsNamed(L"cmd")) continue;
    std::wstring name = Attribute(child, L"name");
    std::wstring md5 = Attribute(child, L"md5");
    if (StartsWithNoCase(name, L"http://")) {
      if (!Download(body, name, kHttpGet, nullptr)) return false;
      if (!md5.empty() && !VerifyMD5Hex(md5.c_str(), body.data(), static_cast<uint32_t>(body.size()))) return false;
      std::wstring file = folder + IntToWString(n, 10) + L".tmp";
      if (!WriteWholeFile(file.c_str(), body.data(), static_cast<uint32_t>(body.size()))) return false;
    }
    ++n;
  }
  return true;
}

// Runs a dictionary command on the thread that owns the call window (the GUI
// thread, which owns the dictionary manager too). The worker waits for the
// answer or for a stop, whichever comes first.
bool COnlineUpdate::CallDictManager(int operation, const std::wstring& path, uint32_t id, bool index, bool grab) {
  auto call = std::make_shared<DictCall>();
  call->manager = m_host->GetDictManager();
  call->operation = operation;
  call->path = path;
  call->id = id;
  call->index = index;
  call->grab = grab;
  if (!call->manager || !m_callWindow || !call->done.IsValid()) return false;
  if (GetWindowThreadProcessId(m_callWindow, nullptr) == GetCurrentThreadId()) {
    call->Run();
    return call->result;
  }
  auto* posted = new std::shared_ptr<DictCall>(call);
  if (!PostMessageW(m_callWindow, kMsgDictCall, 0, reinterpret_cast<LPARAM>(posted))) {
    delete posted;
    return false;
  }
  HANDLE handles[2] = {call->done.Get(), m_stopEvent};
  DWORD wait = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
  if (wait != WAIT_OBJECT_0) {
    int expected = DictCall::kPending;
    if (call->state.compare_exchange_strong(expected, DictCall::kAbandoned)) return false;
    WaitForSingleObject(call->done.Get(), INFINITE);  // already running on the GUI thread
  }
  return call->result;
}
