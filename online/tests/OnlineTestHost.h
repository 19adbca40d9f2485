// Test doubles and helpers of the online tests: the application host (its
// folders below a test's temporary folder), a recording dictionary
// manager, a routing loopback server and a message pump.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/ConfigFile.h"
#include "core/tests/TempFolder.h"
#include "http/tests/TestServer.h"
#include "online/OnlineHost.h"

struct FakeDictManager : IUpdateDictManager {
  bool InstallDict(uint32_t& id, const wchar_t* path, uint32_t flags) override;
  bool AddToGroup(int kind, uint32_t id) override;
  bool SaveConfig() override;

  std::mutex lock;
  std::vector<std::wstring> calls;  // "install <path>", "group 2 <id>", "save"
  std::vector<DWORD> threads;       // the thread of each call
  bool installResult = true;
  uint32_t nextId = 100;
  void Record(const std::wstring& call);
};

class TestHost : public IOnlineHost {
 public:
  explicit TestHost(const std::wstring& root);
  std::wstring GetProgramFolder() const override { return program; }
  std::wstring GetDataFolder() const override { return program + L"data\\"; }
  std::wstring GetImageFolder() const override { return program + L"img\\"; }
  std::wstring GetIconFolder() const override { return program + L"icon\\"; }
  std::wstring GetUpdateFolder() const override { return program + L"update\\"; }
  std::wstring GetTempFolder() const override { return program + L"temp\\"; }
  std::wstring GetWindowsFolder() const override { return windows; }
  std::wstring GetSystemFolder() const override { return windows + L"system32\\"; }
  const CConfigFile& GetUiTexts() const override { return uiTexts; }
  const CConfigFile& GetSettings() const override { return settings; }
  std::wstring GetUiLanguage() const override {
    if (hold) WaitForSingleObject(hold, INFINITE);  // lets a test keep the worker busy
    return language;
  }
  uint32_t GetBuildNumber() const override { return build; }
  std::wstring GetVersionText() const override { return version; }
  bool GetConnectionSetting(std::wstring& host, uint16_t& port, std::wstring& user,
                            std::wstring& password) const override;
  std::wstring proxyHost;  // a proxy is on when set
  uint16_t proxyPort = 0;
  IUpdateDictManager* GetDictManager() override { return manager ? manager : &dicts; }
  HWND GetMainWindow() const override { return mainWindow; }
  bool ConfirmRun(const std::wstring& path) override {
    asked.push_back(path);
    askedOn = GetCurrentThreadId();
    return agree;
  }

  std::wstring program;
  std::wstring windows;
  CConfigFile uiTexts;
  CConfigFile settings;
  std::wstring language = L"en-US";
  uint32_t build = 0x10012;
  std::wstring version = L"3.0";
  FakeDictManager dicts;
  IUpdateDictManager* manager = nullptr;  // in place of dicts when set
  HWND mainWindow = reinterpret_cast<HWND>(0x1234);
  HANDLE hold = nullptr;
  std::vector<std::wstring> asked;  // the programs ConfirmRun was asked about
  bool agree = true;
  DWORD askedOn = 0;
};

// Answers by request path; unknown paths get 404.
class RoutingServer {
 public:
  RoutingServer();
  void Route(const std::string& path, const std::string& response);
  // The answer built from the whole request.
  void Route(const std::string& path, std::function<std::string(const std::string&)> respond);
  std::string Url(const std::string& path) const { return server.Url(path); }
  std::vector<std::string> Requests() { return server.Requests(); }
  int Count(const std::string& path);
  TestServer server;

 private:
  std::mutex m_lock;
  std::map<std::string, std::function<std::string(const std::string&)>> m_routes;
};

std::string HttpOk(const std::string& body, const std::string& extraHeaders = "");
std::string HttpStatus(int status, const std::string& body = "");
std::string Utf8Xml(const std::string& body);  // BOM and declaration in front
std::string Md5Hex(const std::string& bytes);
std::wstring Widen(const std::string& text);
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// A message-only window whose messages the pump collects.
struct MessageSink {
  MessageSink();
  ~MessageSink();
  // Pumps every message of the thread until one for the sink arrives.
  bool Wait(UINT message, WPARAM& wParam, LPARAM& lParam, DWORD timeoutMs = 15000);
  HWND hwnd;
};

size_t PrivateBytes();
DWORD HandleCount();
// Runs once warmUps times, then times times more: the handle count and the
// private memory must stay (nearly) where they were after the warm-up.
void ExpectNoGrowth(int warmUps, int times, const std::function<void()>& once);
