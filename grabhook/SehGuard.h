// The library runs inside other programs: a fault in its own code must end
// the library's work, never the host process; faults of the host's own code
// are the host's.
#pragma once

// Calls fn(context); a hardware exception (access violation, division by
// zero, ...) raised inside it and not handled further in ends the call.
// False when the call was ended that way.
bool RunGuarded(void (*fn)(void* context), void* context);

// Calls fn(context) with this thread's guards taken off the exception chain,
// for code of the host program that the library makes run (a window's own
// painting): its faults meet the program's own handlers, as they would
// without the library, and no guard ends them or jumps over its frames.
void RunUnguarded(void (*fn)(void* context), void* context);
