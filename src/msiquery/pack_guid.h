#pragma once

#include <string>
#include <string_view>

// The installer's packed form of a GUID text (product or package code): upper case, no braces
// or hyphens, the first three groups reversed and the characters of the last two swapped in
// pairs; {12345678-ABCD-EF01-2345-6789ABCDEF01} gives 87654321DCBA10FE32547698BADCFE10.
// The empty text for a text with fewer than five groups or an odd tail.
[[nodiscard]] std::string PackGUID(std::string_view code);
