// The online update: a background check of the update server, the upgrade
// documents it offers, their downloads (checked by MD5) and update scripts,
// "update.ini" with the last accepted description, and the texts of that
// description for the start page. The end of a check is posted to the owner
// as (wParam, lParam): (0, 0) failed; (1, 0) nothing new; (1, 1) a new
// description saved or a script done; (1, 2) quit; (1, 3) restart.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/ConfigFile.h"
#include "http/HttpClient.h"
#include "http/HttpDate.h"
#include "online/OnlineHost.h"

class CXmlDocument;
class CXmlNode;
class CXmlElement;

constexpr UINT WM_UPDATE_DONE = 2035;

class COnlineUpdate : public CHttpClient {
 public:
  // Longest command line of a script's "run", terminator included.
  static constexpr uint32_t kMaxCommandLine = 1300;
  static constexpr DWORD kStopTimeoutMs = 10000;
  // The largest answer each download takes: an update description or script,
  // and a file the script installs.
  static constexpr uint32_t kMaxDescription = 1u << 20;
  static constexpr uint32_t kMaxUpdateFile = 64u << 20;
  // A file may take longer than a description over a slow line.
  static constexpr DWORD kFileDeadlineMs = 600000;

  // Constructed on the GUI thread: the script's dictionary commands and its
  // question before starting a program are run there.
  explicit COnlineUpdate(IOnlineHost* host);
  ~COnlineUpdate() override;

  bool LoadUpdateIni();
  bool IsRunning() const;
  bool Start(HWND owner, UINT message);
  // Asks the worker to end and waits up to timeoutMs; false when it still runs.
  bool Stop(DWORD timeoutMs = kStopTimeoutMs);
  bool FillTemplateVars(std::wstring& out, const wchar_t* name, const wchar_t* language);

  // A copy of "Version"/key of the update store; empty when absent.
  std::wstring GetUpdateValue(const wchar_t* key);

  // The steps of a check, open to tests; they run on the worker thread.
  bool FetchDescription(CXmlDocument& document, uint32_t& id, HttpTime& time);
  bool SaveDescription(CXmlDocument& document, uint32_t id, HttpTime time);
  bool Download(std::string& body, const std::wstring& url, int32_t method,
                const std::vector<std::pair<std::wstring, std::wstring>>* fields, uint32_t maxBytes);
  int RunUpgrade(CXmlNode* offer, uint32_t localId, HttpTime localTime);
  bool DownloadFiles(CXmlNode* action, const std::wstring& folder);
  int RunScript(CXmlNode* action, const std::wstring& folder);
  std::pair<int, int> RunCheck();
  // After a failed check: the proxy asked for credentials (407), and whether
  // the check had sent a user name to it.
  bool WasRefusedByProxy() const { return m_refusedByProxy; }
  bool SentProxyCredentials() const { return m_sentProxyCredentials; }

 private:
  static unsigned __stdcall ThreadProc(void* self);
  bool IsStopRequested() const;
  void CloseFinishedWorker();

  // One script command: false fails the script; *end set for "exit"/"restart".
  bool RunCommand(const std::wstring& act, const std::wstring& name, CXmlNode* cmd, const CStringMap& vars,
                  int* end);
  bool RunProgram(const std::wstring& name, bool waitExit);
  bool ConfinePath(const std::wstring& path) const;
  bool IsUserData(const std::wstring& path) const;
  // Runs work on the thread that owns the component (the GUI thread) and
  // returns its result; false when a stop comes first.
  bool CallOnGuiThread(const std::function<bool()>& work);

  IOnlineHost* m_host;
  CConfigFile m_store;
  std::mutex m_storeLock;  // the worker rewrites the store while the GUI thread reads it
  HANDLE m_thread = nullptr;
  HANDLE m_stopEvent = nullptr;  // manual-reset: every wait of the check sees it
  HWND m_callWindow = nullptr;   // runs the script's dictionary commands and questions on the GUI thread
  std::atomic<bool> m_finished{false};
  std::atomic<bool> m_refusedByProxy{false};
  bool m_sentProxyCredentials = false;
};

// The MD5 digest of the bytes equals the 32 hexadecimal digits (either case).
bool VerifyMD5Hex(const wchar_t* expected, const void* bytes, uint32_t length);
// The "item" of the parent for the language: exact, else by primary code, else the first.
CXmlNode* FindItemByLanguage(CXmlNode* parent, const wchar_t* language);
