#include "online/tests/OnlineTestHost.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <chrono>

#include "core/FileUtil.h"
#include "core/Md5.h"
#include "core/TextCodec.h"

void FakeDictManager::Record(const std::wstring& call) {
  std::lock_guard<std::mutex> hold(lock);
  calls.push_back(call);
  threads.push_back(GetCurrentThreadId());
}

bool FakeDictManager::InstallDict(uint32_t& id, const wchar_t* path, uint32_t) {
  Record(std::wstring(L"install ") + path);
  id = installResult ? nextId++ : static_cast<uint32_t>(-1);
  return installResult;
}

bool FakeDictManager::AddToGroup(int kind, uint32_t id) {
  Record(L"group " + std::to_wstring(kind) + L" " + std::to_wstring(id));
  return true;
}

bool FakeDictManager::SaveConfig() {
  Record(L"save");
  return true;
}

TestHost::TestHost(const std::wstring& root) : program(root + L"app\\"), windows(root + L"app\\win\\") {
  CreateDirectoryPath((program + L"update").c_str());
  CreateDirectoryPath((program + L"data").c_str());
}

bool TestHost::GetConnectionSetting(std::wstring& host, uint16_t& port, std::wstring& user,
                                    std::wstring& password) const {
  host = proxyHost;
  port = proxyPort;
  user = L"user";
  password = L"secret";
  return !proxyHost.empty();
}

RoutingServer::RoutingServer() {
  ScriptedAnswer answer;
  answer.respond = [this](const std::string& request) {
    size_t start = request.find(' ') + 1;
    size_t end = request.find_first_of(" ?", start);
    std::string path = request.substr(start, end - start);
    std::lock_guard<std::mutex> hold(m_lock);
    auto found = m_routes.find(path);
    return found != m_routes.end() ? found->second(request) : HttpStatus(404);
  };
  server.SetDefault(answer);
}

void RoutingServer::Route(const std::string& path, const std::string& response) {
  Route(path, [response](const std::string&) { return response; });
}

void RoutingServer::Route(const std::string& path, std::function<std::string(const std::string&)> respond) {
  std::lock_guard<std::mutex> hold(m_lock);
  m_routes[path] = std::move(respond);
}

int RoutingServer::Count(const std::string& path) {
  int count = 0;
  for (const std::string& request : server.Requests())
    if (request.find(" " + path + " ") != std::string::npos || request.find(" " + path + "?") != std::string::npos)
      ++count;
  return count;
}

std::string HttpOk(const std::string& body, const std::string& extraHeaders) {
  return "HTTP/1.1 200 OK\r\n" + extraHeaders + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

std::string HttpStatus(int status, const std::string& body) {
  return "HTTP/1.1 " + std::to_string(status) + " Status\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\n\r\n" + body;
}

std::string Utf8Xml(const std::string& body) { return "\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n" + body; }

std::string Md5Hex(const std::string& bytes) {
  std::string hex;
  MD5HexString(hex, reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<unsigned>(bytes.size()));
  return hex;
}

std::wstring Widen(const std::string& text) {
  std::wstring out;
  Utf8ToWString(out, text.c_str(), static_cast<int>(text.size()));
  return out;
}

std::string ReadFileBytes(const std::wstring& path) {
  std::string out;
  ReadFileToString(out, path.c_str());
  return out;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  return WriteWholeFile(path.c_str(), bytes.data(), static_cast<uint32_t>(bytes.size()));
}

MessageSink::MessageSink()
    : hwnd(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}

MessageSink::~MessageSink() { DestroyWindow(hwnd); }

bool MessageSink::Wait(UINT message, WPARAM& wParam, LPARAM& lParam, DWORD timeoutMs) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  MSG msg;
  while (std::chrono::steady_clock::now() < until) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.hwnd == hwnd && msg.message == message) {
        wParam = msg.wParam;
        lParam = msg.lParam;
        return true;
      }
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return false;
}

size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return counters.PrivateUsage;
}

DWORD HandleCount() {
  DWORD count = 0;
  GetProcessHandleCount(GetCurrentProcess(), &count);
  return count;
}

void ExpectNoGrowth(int warmUps, int times, const std::function<void()>& once) {
  for (int i = 0; i < warmUps; ++i) once();
  DWORD handles = HandleCount();
  size_t memory = PrivateBytes();
  for (int i = 0; i < times; ++i) once();
  EXPECT_LE(HandleCount(), handles + 2);
  EXPECT_LT(PrivateBytes(), memory + 512 * 1024);
}
