// Linked into Quorindo.exe itself: naming the application object here makes
// the linker take it from the library, so it exists before WinMain runs.
#include "app/shell/QuorindoApp.h"

CQuorindoApp* ProgramApplication() { return &theApp; }
