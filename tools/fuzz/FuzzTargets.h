// Each group of targets adds its own to the list.
#pragma once

#include <vector>

#include "tools/fuzz/Fuzz.h"

namespace fuzz {

void AddTextTargets(std::vector<Target>& targets);
void AddImageTargets(std::vector<Target>& targets);
void AddWebTargets(std::vector<Target>& targets);
void AddDictTargets(std::vector<Target>& targets);

}  // namespace fuzz
