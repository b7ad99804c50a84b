// Code page 932 aware string helpers. A double-byte character's second byte can look like "\",
// "=", "." or ";" (表 is 0x95 0x5C), so every search here steps over whole characters and only
// ever matches at a character boundary.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace text {

constexpr std::size_t npos = std::string_view::npos;

// True for a byte that starts a double-byte character in code page 932.
bool IsLeadByte(unsigned char byte);

// Length in bytes of the character that starts at offset `at` (1 or 2; a lead byte at the very
// end of the text counts as a character of its own).
std::size_t CharLength(std::string_view text, std::size_t at);

// Offset of the first occurrence of `needle` that starts on a character boundary, or npos.
std::size_t FindString(std::string_view text, std::string_view needle);

// Offset of the first / last single-byte character `ch` (never a second byte), or npos.
std::size_t FindChar(std::string_view text, char ch);
std::size_t FindLastChar(std::string_view text, char ch);

// The C runtime's white space: blank, tab, line feed, vertical tab, form feed, carriage return.
bool IsSpace(unsigned char byte);

std::string TrimLeftSpace(std::string_view text);
std::string TrimRightSpace(std::string_view text);
std::string TrimSpace(std::string_view text);

// Orders two texts as the C runtime's _mbscmp does: character by character, a double-byte
// character counting as its 16-bit code. Negative, zero or positive.
int CompareMb(std::string_view left, std::string_view right);

// Upper-cases the single-byte letters a-z; double-byte characters are left as they are.
std::string MakeUpper(std::string_view text);

} // namespace text
