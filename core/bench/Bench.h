// The core's benchmarks: each file registers its cases; quorindo_bench runs
// them all (or those whose name contains its first argument) and prints
// their figures.
#pragma once

#include <windows.h>

using BenchFunction = void (*)();

struct BenchRegistrar {
  BenchRegistrar(const char* name, BenchFunction function);
};

#define QUORINDO_BENCH(name)                                         \
  static void name();                                                \
  static BenchRegistrar name##Registrar(#name, &name);               \
  static void name()

// Seconds since an arbitrary start, from the performance counter.
inline double BenchSeconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}
