// UTF-16 to code page 932, as the simulated machine's A calls hand out text that Windows keeps
// as Unicode (dialog templates, UTF-16 settings files).
#pragma once

#include <string>
#include <string_view>

namespace sim {

// UTF-16LE text as code page 932 bytes; throws std::runtime_error on a character the code page
// lacks (the program's own texts must all be representable).
std::string Utf16ToCp932(std::u16string_view text);

// The same for text from outside: a character the code page lacks, or a lone surrogate, becomes
// "?", WideCharToMultiByte's default character (Windows first tries a look-alike: "ä" gives
// "a"; this does not).
std::string Utf16ToCp932Lossy(std::u16string_view text);

} // namespace sim
