#include "core/bench/Bench.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct Entry {
  const char* name;
  BenchFunction function;
};

std::vector<Entry>& Registry() {
  static std::vector<Entry> entries;
  return entries;
}

}  // namespace

BenchRegistrar::BenchRegistrar(const char* name, BenchFunction function) {
  Registry().push_back(Entry{name, function});
}

int main(int argc, char** argv) {
  const char* filter = argc > 1 ? argv[1] : "";
  for (const Entry& entry : Registry()) {
    if (!strstr(entry.name, filter)) continue;
    printf("== %s\n", entry.name);
    fflush(stdout);
    entry.function();
    fflush(stdout);
  }
  return 0;
}
