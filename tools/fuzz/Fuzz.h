// The fuzz driver's parts: targets (one per reader), the mutator that makes
// inputs from seeds, and the checks a target reports a fault through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// A small deterministic generator: the same seed gives the same inputs.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
  uint32_t Next();
  uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }
  bool OneIn(uint32_t n) { return Below(n) == 0; }

 private:
  uint64_t state_;
};

// Where a target may write: a folder of its own, emptied before every input.
struct Sandbox {
  std::wstring folder;  // ends in "\"
  void Clear() const;
};

struct Target {
  const char* name;
  // Seed files matched in every seed folder (paths relative to it, "*" allowed
  // in the last part), and seeds the target builds itself.
  std::vector<const char*> seedFiles;
  std::vector<std::string> (*builtSeeds)();
  // Tokens the mutator inserts whole (tags, keywords); may be empty.
  std::vector<const char*> tokens;
  // Runs one input; faults go through Fail.
  void (*run)(const std::string& input, const Sandbox& sandbox);
  // Inputs larger than this are cut down before they run.
  uint32_t maxSize = 1 << 20;
};

const std::vector<Target>& Targets();

// A check failed: the message goes to the parent and the child ends with
// the fault's exit code.
[[noreturn]] void Fail(const std::string& message);
inline void Check(bool ok, const char* message) {
  if (!ok) Fail(message);
}

// Input i of a run: a seed, mutated.
std::string MakeInput(const Target& target, const std::vector<std::string>& seeds, uint64_t runSeed, uint64_t index);

// Bytes helpers for the targets.
std::wstring BytesToWide(const std::string& bytes);  // pairs of bytes as UTF-16 units
std::string WideToBytes(const std::wstring& text);
void PutU32(std::string& bytes, size_t at, uint32_t value);

// The allocation bound for the input now running (bytes in one request).
void SetAllocationBound(uint64_t bytes);
void CheckAllocation(size_t size);

}  // namespace fuzz
