// The library runs inside other programs: a fault in its own code must end
// the library's work, never the host process.
#pragma once

// Calls fn(context); a hardware exception (access violation, division by
// zero, ...) raised inside it and not handled further in ends the call.
// False when the call was ended that way.
bool RunGuarded(void (*fn)(void* context), void* context);
