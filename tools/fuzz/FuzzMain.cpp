// quorindo_fuzz.exe TARGET [--count N] [--seed S] [--seconds T] [--seeds DIR]... [--out DIR]
//
// The parent runs the target's inputs in a child process (this program again
// with --child) and watches it through a shared record: the number and bytes
// of the input now running and when it began. A child that dies leaves its
// input behind as a crash, one that spends more than the watchdog's time on
// one input is ended and its input kept as a hang, and one that fails a check
// reports its message; the parent saves each such input under OUT\faults\ and
// starts a new child at the next input. "all" runs every target in turn;
// --replay FILE (repeatable) runs saved inputs once each in this process.
// Exit code: 0 when no fault was found, 1 otherwise, 2 for bad arguments.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "core/FileUtil.h"
#include "core/StrUtil.h"
#include "core/TextCodec.h"
#include "tools/fuzz/Fuzz.h"

namespace fuzz {
namespace {

// An input is a hang when it takes more than 2 s of the processor, or more
// than 30 s of the clock (a wait that never ends): the machine may be shared
// and loaded, and the clock alone would blame an input for a busy neighbour.
constexpr DWORD kWatchdogMs = 2000;
constexpr DWORD kWatchdogWallMs = 30000;
constexpr uint32_t kMaxInput = 4u << 20;
constexpr DWORD kFaultExit = 0x3F;  // a check failed; the message is in the record

struct SharedRecord {
  volatile LONG running;   // 1 while an input runs
  volatile DWORD started;  // GetTickCount() when it began
  volatile LONG64 cpuStart; // the child's processor time then, in 100 ns units
  volatile LONG64 cpuNow;   // and now, kept up by the child's watch thread
  volatile LONG64 index;   // the input's number
  volatile LONG64 next;    // the first input not yet finished
  uint32_t size;
  char message[1024];
  uint8_t bytes[kMaxInput];
};

SharedRecord* g_record = nullptr;

struct Options {
  std::string target;
  uint64_t count = 1000;
  uint64_t seed = 1;
  uint64_t first = 0;
  double seconds = 0;  // 0: no time limit
  std::vector<std::wstring> seedFolders;
  std::wstring out = L"fuzzrun\\";
  bool child = false;
  std::wstring shared;
  std::vector<std::wstring> replay;  // saved inputs to run once each
};

std::wstring Wide(const char* text) {
  std::wstring out;
  Utf8ToWString(out, text, static_cast<int>(strlen(text)));
  return out;
}

std::wstring WithSlash(std::wstring folder) {
  for (wchar_t& c : folder)
    if (c == L'/') c = L'\\';
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

const Target* FindTarget(const std::string& name) {
  for (const Target& t : Targets())
    if (name == t.name) return &t;
  return nullptr;
}

std::string ReadAll(const std::wstring& path) {
  std::string bytes;
  ReadFileToString(bytes, path.c_str());
  return bytes;
}

void WriteAll(const std::wstring& path, const void* bytes, uint32_t size) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes, size, &written, nullptr);
  CloseHandle(file);
}

// Seed files of the target found in the seed folders, then its built seeds.
std::vector<std::string> LoadSeeds(const Target& target, const std::vector<std::wstring>& folders) {
  std::vector<std::string> seeds;
  for (const std::wstring& folder : folders) {
    for (const char* pattern : target.seedFiles) {
      std::wstring full = WithSlash(folder) + Wide(pattern);
      const std::wstring dir = full.substr(0, full.find_last_of(L'\\') + 1);
      WIN32_FIND_DATAW found;
      HANDLE find = FindFirstFileW(full.c_str(), &found);
      if (find == INVALID_HANDLE_VALUE) continue;
      do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string bytes = ReadAll(dir + found.cFileName);
        if (!bytes.empty() && bytes.size() <= target.maxSize) seeds.push_back(bytes);
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
  }
  if (target.builtSeeds)
    for (std::string& s : target.builtSeeds()) seeds.push_back(std::move(s));
  if (seeds.empty()) seeds.emplace_back();
  return seeds;
}

LONG64 ProcessorTime() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  auto value = [](const FILETIME& t) { return (static_cast<LONG64>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return value(kernel) + value(user);
}

DWORD WINAPI WatchProcessor(void*) {
  for (;;) {
    g_record->cpuNow = ProcessorTime();
    Sleep(100);
  }
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
  // The input stays in the record; the exit code tells the parent what happened.
  TerminateProcess(GetCurrentProcess(), info->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

void OnTerminate() {
  if (g_record) strcpy(g_record->message, "uncaught C++ exception or terminate()");
  TerminateProcess(GetCurrentProcess(), kFaultExit);
}

int RunChild(const Options& options) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(OnCrash);
  std::set_terminate(OnTerminate);
  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, options.shared.c_str());
  if (!mapping) return 2;
  g_record = static_cast<SharedRecord*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedRecord)));
  const Target* target = FindTarget(options.target);
  if (!g_record || !target) return 2;

  Sandbox sandbox;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  sandbox.folder = std::wstring(temp) + L"qfuzz-" + IntToWString(GetCurrentProcessId(), 16) + L"\\";
  CreateDirectoryPath(sandbox.folder.c_str());

  const std::vector<std::string> seeds = LoadSeeds(*target, options.seedFolders);
  g_record->cpuNow = ProcessorTime();
  CloseHandle(CreateThread(nullptr, 0, WatchProcessor, nullptr, 0, nullptr));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(options.seconds);
  const uint64_t end = options.first + options.count;
  for (uint64_t i = options.first; i < end; ++i) {
    if (options.seconds > 0 && std::chrono::steady_clock::now() >= deadline) break;
    std::string input = MakeInput(*target, seeds, options.seed, i);
    if (input.size() > target->maxSize) input.resize(target->maxSize);
    g_record->size = static_cast<uint32_t>(input.size());
    memcpy(g_record->bytes, input.data(), input.size());
    g_record->index = static_cast<LONG64>(i);
    g_record->message[0] = 0;
    g_record->started = GetTickCount();
    g_record->cpuStart = g_record->cpuNow = ProcessorTime();
    // A file format may claim a larger image or table than it holds, but
    // nothing a reader keeps needs more than this for an input of this size.
    SetAllocationBound(64ull * 1024 * 1024 + 256ull * input.size());
    InterlockedExchange(&g_record->running, 1);
    sandbox.Clear();
    target->run(input, sandbox);
    InterlockedExchange(&g_record->running, 0);
    g_record->next = static_cast<LONG64>(i + 1);
  }
  sandbox.Clear();
  RemoveDirectoryW(sandbox.folder.c_str());
  return 0;
}

struct Totals {
  uint64_t inputs = 0;
  uint64_t crashes = 0, hangs = 0, checks = 0;
  double seconds = 0;
  uint64_t Faults() const { return crashes + hangs + checks; }
};

void SaveFault(const Options& options, const char* kind, const std::string& detail) {
  const std::wstring folder = WithSlash(options.out) + L"faults\\";
  CreateDirectoryPath(folder.c_str());
  const std::wstring base = folder + Wide(options.target.c_str()) + L"-" + Wide(kind) + L"-" +
                            IntToWString(static_cast<uint32_t>(g_record->index), 10);
  WriteAll(base + L".bin", g_record->bytes, g_record->size);
  WriteAll(base + L".txt", detail.data(), static_cast<uint32_t>(detail.size()));
  printf("  %s fault: input %lld (%u bytes): %s\n", kind, static_cast<long long>(g_record->index), g_record->size,
         detail.c_str());
  fflush(stdout);
}

Totals RunParent(const Options& options) {
  Totals totals;
  const std::wstring name = L"QuorindoFuzz-" + IntToWString(GetCurrentProcessId(), 16) + L"-" + Wide(options.target.c_str());
  HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SharedRecord), name.c_str());
  g_record = static_cast<SharedRecord*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedRecord)));
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);

  const auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  uint64_t next = options.first;
  const uint64_t end = options.first + options.count;
  while (next < end) {
    const double left = options.seconds > 0 ? options.seconds - elapsed() : 0;
    if (options.seconds > 0 && left <= 0) break;
    g_record->running = 0;
    g_record->next = static_cast<LONG64>(next);
    g_record->index = static_cast<LONG64>(next);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + Wide(options.target.c_str()) + L" --child " + name +
                           L" --first " + Wide(std::to_string(next).c_str()) + L" --count " +
                           Wide(std::to_string(end - next).c_str()) + L" --seed " +
                           Wide(std::to_string(options.seed).c_str());
    if (options.seconds > 0) command += L" --seconds " + Wide(std::to_string(left).c_str());
    for (const std::wstring& folder : options.seedFolders) command += L" --seeds \"" + folder + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      printf("cannot start the child process\n");
      break;
    }
    CloseHandle(pi.hThread);
    bool hung = false;
    while (WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
      const LONG64 index = g_record->index;
      const DWORD wall = GetTickCount() - g_record->started;
      const LONG64 cpu = (g_record->cpuNow - g_record->cpuStart) / 10000;
      if (g_record->running && index == g_record->index && (cpu > kWatchdogMs || wall > kWatchdogWallMs)) {
        TerminateProcess(pi.hProcess, 0xDEAD);
        WaitForSingleObject(pi.hProcess, INFINITE);
        hung = true;
        break;
      }
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    if (hung) {
      ++totals.hangs;
      SaveFault(options, "hang", "more than 2 s of the processor (or 30 s of the clock) on one input");
      next = static_cast<uint64_t>(g_record->index) + 1;
    } else if (code == 0) {
      next = static_cast<uint64_t>(g_record->next);
      break;
    } else if (code == 2 && !g_record->running) {
      printf("the child could not start its run\n");
      break;
    } else if (code == kFaultExit) {
      ++totals.checks;
      g_record->message[sizeof(g_record->message) - 1] = 0;
      SaveFault(options, "check", g_record->message);
      next = static_cast<uint64_t>(g_record->index) + 1;
    } else {
      ++totals.crashes;
      char text[64];
      snprintf(text, sizeof(text), "exit code 0x%08lX", static_cast<unsigned long>(code));
      SaveFault(options, "crash", text);
      next = static_cast<uint64_t>(g_record->index) + 1;
    }
  }
  totals.inputs = next - options.first;
  totals.seconds = elapsed();
  UnmapViewOfFile(g_record);
  CloseHandle(mapping);
  g_record = nullptr;
  return totals;
}

bool ParseOptions(Options& options, int argc, wchar_t** argv) {
  if (argc < 2) return false;
  WStringToMultiByte(options.target, argv[1], -1, CP_UTF8, 0);
  if (!options.target.empty() && options.target.back() == '\0') options.target.pop_back();
  for (int i = 2; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (i + 1 >= argc) return false;
    const wchar_t* value = argv[++i];
    if (arg == L"--count") options.count = _wcstoui64(value, nullptr, 10);
    else if (arg == L"--seed") options.seed = _wcstoui64(value, nullptr, 10);
    else if (arg == L"--first") options.first = _wcstoui64(value, nullptr, 10);
    else if (arg == L"--seconds") options.seconds = wcstod(value, nullptr);
    else if (arg == L"--seeds") options.seedFolders.push_back(value);
    else if (arg == L"--out") options.out = value;
    else if (arg == L"--child") options.child = true, options.shared = value;
    else if (arg == L"--replay") options.replay.push_back(value);
    else return false;
  }
  return true;
}

// Runs saved inputs in this process, one after another, with their times:
// a fault ends the run as it ends a child.
int RunReplay(const Options& options) {
  const Target* target = FindTarget(options.target);
  Sandbox sandbox;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  sandbox.folder = std::wstring(temp) + L"qfuzz-" + IntToWString(GetCurrentProcessId(), 16) + L"\\";
  CreateDirectoryPath(sandbox.folder.c_str());
  for (const std::wstring& path : options.replay) {
    const std::string input = ReadAll(path);
    SetAllocationBound(64ull * 1024 * 1024 + 256ull * input.size());
    const auto start = std::chrono::steady_clock::now();
    const LONG64 cpu = ProcessorTime();
    sandbox.Clear();
    target->run(input, sandbox);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::string name;
    WStringToMultiByte(name, path.c_str(), static_cast<int>(path.size()), CP_UTF8, 0);
    printf("%s: %u bytes, %.0f ms (%.0f ms of the processor)\n", name.c_str(), static_cast<unsigned>(input.size()),
           ms, (ProcessorTime() - cpu) / 1e4);
    fflush(stdout);
  }
  sandbox.Clear();
  RemoveDirectoryW(sandbox.folder.c_str());
  return 0;
}

}  // namespace

void Fail(const std::string& message) {
  if (g_record) {
    strncpy(g_record->message, message.c_str(), sizeof(g_record->message) - 1);
    g_record->message[sizeof(g_record->message) - 1] = 0;
  }
  fprintf(stderr, "fault: %s\n", message.c_str());
  TerminateProcess(GetCurrentProcess(), kFaultExit);
  abort();
}

}  // namespace fuzz

int wmain(int argc, wchar_t** argv) {
  using namespace fuzz;
  Options options;
  if (!ParseOptions(options, argc, argv) || (options.target != "all" && !FindTarget(options.target))) {
    printf("usage: quorindo_fuzz TARGET|all [--count N] [--seed S] [--seconds T] [--seeds DIR]... [--out DIR]\n"
           "targets:");
    for (const Target& t : Targets()) printf(" %s", t.name);
    printf("\n");
    return 2;
  }
  if (options.child) return RunChild(options);
  if (!options.replay.empty()) return RunReplay(options);

  std::vector<std::string> names;
  if (options.target == "all")
    for (const Target& t : Targets()) names.push_back(t.name);
  else
    names.push_back(options.target);
  uint64_t faults = 0;
  for (const std::string& name : names) {
    Options one = options;
    one.target = name;
    const Totals totals = RunParent(one);
    printf("%-8s inputs %8llu  %8.1f inputs/s  faults %llu (crashes %llu, hangs %llu, failed checks %llu)\n",
           name.c_str(), static_cast<unsigned long long>(totals.inputs),
           totals.seconds > 0 ? totals.inputs / totals.seconds : 0.0, static_cast<unsigned long long>(totals.Faults()),
           static_cast<unsigned long long>(totals.crashes), static_cast<unsigned long long>(totals.hangs),
           static_cast<unsigned long long>(totals.checks));
    fflush(stdout);
    faults += totals.Faults();
  }
  return faults ? 1 : 0;
}
