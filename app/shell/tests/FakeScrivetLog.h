// What the fake hook library records, in memory of the test.
#pragma once

#include <windows.h>

struct FakeScrivetCall {
  int on;
  HWND owner;
  HWND notify;
  UINT copyDataId;
  UINT moveMsg;
  int unloadsBefore;  // unloads counted when the call came
};

struct FakeScrivetLog {
  int loads = 0;
  int unloads = 0;
  int activateResult = 1;
  int activateCount = 0;
  FakeScrivetCall activate[8] = {};
  int grabMode = -1;
  int grabDelay = -1;
  int grabModeCalls = 0;
  int clipboardMode = -1;
  int clipboardModeCalls = 0;
};
