// The mutator, the sandbox and the allocation bound of the fuzz driver.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <new>

#include "tools/fuzz/Fuzz.h"

namespace fuzz {

uint32_t Rng::Next() {
  // splitmix64
  uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<uint32_t>((z ^ (z >> 31)) >> 16);
}

namespace {

void RemoveTree(const std::wstring& folder, bool self) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path + L"\\", true);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  if (self) RemoveDirectoryW(folder.c_str());
}

const uint32_t kBoundaries[] = {0, 1, 2, 7, 8, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFF, 0x10000,
                                0x7FFFFFFF, 0x80000000u, 0xFFFFFFF0u, 0xFFFFFFFFu};

void Mutate(std::string& s, const Target& target, const std::vector<std::string>& seeds, Rng& rng) {
  auto pos = [&](bool end) { return rng.Below(static_cast<uint32_t>(s.size()) + (end ? 1 : 0)); };
  switch (rng.Below(11)) {
    case 0:  // bit flip
      if (!s.empty()) s[pos(false)] ^= static_cast<char>(1 << rng.Below(8));
      break;
    case 1:  // byte set
      if (!s.empty()) s[pos(false)] = static_cast<char>(rng.OneIn(2) ? rng.Next() : kBoundaries[rng.Below(9)]);
      break;
    case 2: {  // insert a random run
      std::string run(1 + rng.Below(16), '\0');
      for (char& c : run) c = static_cast<char>(rng.OneIn(2) ? rng.Next() : 0x20 + rng.Below(0x5F));
      s.insert(pos(true), run);
      break;
    }
    case 3:  // remove a run
      if (!s.empty()) {
        const uint32_t at = pos(false);
        s.erase(at, 1 + rng.Below(rng.OneIn(4) ? 4096 : 32));
      }
      break;
    case 4:  // repeat a run
      if (!s.empty()) {
        const uint32_t at = pos(false);
        const std::string run = s.substr(at, 1 + rng.Below(rng.OneIn(2) ? 256 : 16));
        const uint32_t times = 1 + rng.Below(rng.OneIn(8) ? 2000 : 16);
        std::string repeated;
        for (uint32_t i = 0; i < times && repeated.size() < (256u << 10); ++i) repeated += run;
        s.insert(at, repeated);
      }
      break;
    case 5: {  // splice with another seed
      const std::string& other = seeds[rng.Below(static_cast<uint32_t>(seeds.size()))];
      if (other.empty()) break;
      const uint32_t from = rng.Below(static_cast<uint32_t>(other.size()));
      s = s.substr(0, pos(true)) + other.substr(from);
      break;
    }
    case 6:  // truncate
      s.resize(pos(true));
      break;
    case 7:  // a boundary value in a header field (the first 256 bytes, 32-bit aligned)
    case 8:
      if (s.size() >= 4) {
        const uint32_t slots = static_cast<uint32_t>(std::min<size_t>(s.size(), 256) / 4);
        const uint32_t at = 4 * rng.Below(slots);
        uint32_t value = kBoundaries[rng.Below(sizeof(kBoundaries) / sizeof(kBoundaries[0]))];
        if (rng.OneIn(3)) value = static_cast<uint32_t>(s.size()) + rng.Below(64) - 32;
        if (rng.OneIn(2)) {
          PutU32(s, at, value);
        } else {  // big-endian fields (PNG)
          PutU32(s, at, (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24));
        }
      }
      break;
    default:  // a token of the format
      if (!target.tokens.empty()) {
        std::string token = target.tokens[rng.Below(static_cast<uint32_t>(target.tokens.size()))];
        if (rng.OneIn(4)) {
          const std::string once = token;
          for (uint32_t n = rng.Below(200); n > 0; --n) token += once;
        }
        s.insert(pos(true), token);
      }
      break;
  }
}

uint64_t g_bound = ~0ull;
thread_local bool g_inside = false;

}  // namespace

void Sandbox::Clear() const { RemoveTree(folder, false); }

std::string MakeInput(const Target& target, const std::vector<std::string>& seeds, uint64_t runSeed, uint64_t index) {
  Rng rng(runSeed * 1000003ull + index);
  std::string s = seeds[rng.Below(static_cast<uint32_t>(seeds.size()))];
  // Every 16th input is a seed as it stands, the rest carry 1 to 8 mutations.
  if (index % 16 != 0) {
    const uint32_t n = 1 + rng.Below(rng.OneIn(3) ? 8 : 3);
    for (uint32_t i = 0; i < n; ++i) Mutate(s, target, seeds, rng);
  }
  return s;
}

std::wstring BytesToWide(const std::string& bytes) {
  std::wstring out(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<wchar_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  return out;
}

std::string WideToBytes(const std::wstring& text) {
  std::string out(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    out[2 * i] = static_cast<char>(text[i] & 0xFF);
    out[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return out;
}

void PutU32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

void SetAllocationBound(uint64_t bytes) { g_bound = bytes; }

// Every request of the program's own code above the bound is a fault.
void CheckAllocation(size_t size) {
  if (size > g_bound && !g_inside) {
    g_inside = true;
    Fail("allocation of " + std::to_string(size) + " bytes, above the bound of " + std::to_string(g_bound));
  }
}

}  // namespace fuzz

void* operator new(size_t size) {
  fuzz::CheckAllocation(size);
  if (void* p = malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  fuzz::CheckAllocation(size);
  return malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
