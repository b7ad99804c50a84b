#pragma once

#include <string>
#include <string_view>
#include <vector>

// Appends to `parts` the non-empty parts of `text` between any of the single-byte `delimiters`;
// a run of delimiters counts as one. Double-byte characters are never split.
void SplitString(std::string_view text, std::string_view delimiters,
                 std::vector<std::string>& parts);
