// Names close to one that was not found, for "did you mean" messages: a city
// for a mistyped --place, an option for a misspelt one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace orbel {

// The candidates a few edits (insert, delete, replace) away from `wanted`, or
// starting with it when it has three characters or more: their indices,
// nearest first (alphabetically among the equally near), at most `most`.
std::vector<size_t> CloseNames(const std::string& wanted,
                               const std::vector<std::string>& candidates, size_t most);

}  // namespace orbel
