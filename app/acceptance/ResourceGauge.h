// What a running program holds, read from outside it: kernel handles, GDI
// objects, USER objects and private bytes. A long session samples them to
// see that they stay flat.
//
// Where the system answers (GetProcessHandleCount, GetGuiResources) its
// figures are taken. Wine answers neither (a handle count of 0, a stub for
// GUI resources), so there the gauge counts for itself: the handle values
// that the program's handle table holds (duplicated one by one and closed
// again), the live entries of the program's GDI handle table (the shared
// table its process environment block points to), and its windows (top-level,
// message-only and their descendants) for the USER objects.
#pragma once

#include <windows.h>

#include <string>

namespace acceptance {

struct ResourceSample {
  long handles = -1;  // -1: not measured
  long gdi = -1;
  long user = -1;
  double privateMb = -1;
  std::string how;  // how the counts were taken, for the report
};

ResourceSample SampleResources(HANDLE process, DWORD processId);
std::string Describe(const ResourceSample& sample);

}  // namespace acceptance
