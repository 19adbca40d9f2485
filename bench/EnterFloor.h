// The Enter floor's windows, as the program benchmark finds them.
#pragma once

constexpr wchar_t kEnterFloorClass[] = L"QuorindoBenchEnterFloor";
constexpr wchar_t kEnterFloorLineClass[] = L"QuorindoBenchEnterFloorLine";
