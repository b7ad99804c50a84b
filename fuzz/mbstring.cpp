// The code page 932 helpers every parser stands on: searches that must only match at a
// character boundary, trimming, ordering, upper case, splitting and the folder backslash.
#include "text/append_backslash.h"
#include "text/mbstring.h"
#include "text/split_string.h"

#include "fuzz_input.h"

#include <string>
#include <vector>

namespace {

// Where characters start, walking from the front as the helpers do.
std::vector<bool> CharStarts(std::string_view text) {
    std::vector<bool> starts(text.size() + 1, false);
    for (std::size_t at = 0; at < text.size(); at += text::CharLength(text, at)) {
        const std::size_t length = text::CharLength(text, at);
        FUZZ_CHECK(length == 1 || length == 2);
        starts[at] = true;
    }
    starts[text.size()] = true;
    return starts;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

void CheckSearches(std::string_view text, std::string_view needle) {
    const std::vector<bool> starts = CharStarts(text);
    std::size_t first = text::npos;
    for (std::size_t at = 0; at < text.size() && first == text::npos; ++at) {
        if (starts[at] && text.compare(at, needle.size(), needle) == 0) {
            first = at;
        }
    }
    if (needle.empty()) {
        first = 0;
    }
    FUZZ_CHECK(text::FindString(text, needle) == first);

    const char ch = needle.empty() ? '\\' : needle[0];
    const std::size_t found = text::FindChar(text, ch);
    const std::size_t last = text::FindLastChar(text, ch);
    FUZZ_CHECK((found == text::npos) == (last == text::npos));
    if (found != text::npos) {
        FUZZ_CHECK(found <= last && text[found] == ch && text[last] == ch);
        FUZZ_CHECK(starts[found] && text::CharLength(text, found) == 1);
        FUZZ_CHECK(starts[last] && text::CharLength(text, last) == 1);
    }
}

void CheckTrimming(std::string_view text) {
    const std::string right = text::TrimRightSpace(text);
    const std::string left = text::TrimLeftSpace(text);
    FUZZ_CHECK(text.substr(0, right.size()) == right);
    FUZZ_CHECK(text.substr(text.size() - left.size()) == left);
    FUZZ_CHECK(text::TrimSpace(text) == text::TrimRightSpace(left));
    // What is cut off the right is whole single-byte blanks.
    const std::vector<bool> starts = CharStarts(text);
    FUZZ_CHECK(starts[right.size()]);
    for (std::size_t at = right.size(); at < text.size(); ++at) {
        FUZZ_CHECK(text::IsSpace(static_cast<unsigned char>(text[at])));
    }
}

void CheckOrderAndCase(std::string_view a, std::string_view b) {
    FUZZ_CHECK(text::CompareMb(a, a) == 0);
    FUZZ_CHECK(Sign(text::CompareMb(a, b)) == -Sign(text::CompareMb(b, a)));
    FUZZ_CHECK((text::CompareMb(a, b) == 0) == (a == b));

    const std::string upper = text::MakeUpper(a);
    FUZZ_CHECK(upper.size() == a.size());
    FUZZ_CHECK(text::MakeUpper(upper) == upper);
    const std::vector<bool> starts = CharStarts(a);
    for (std::size_t at = 0; at < a.size(); ++at) {
        if (upper[at] != a[at]) {
            FUZZ_CHECK(starts[at] && text::CharLength(a, at) == 1 && a[at] >= 'a' && a[at] <= 'z');
        }
    }
}

void CheckSplitting(std::string_view text, std::string_view delimiters) {
    std::vector<std::string> parts;
    SplitString(text, delimiters, parts);
    std::size_t total = 0;
    for (const std::string& part : parts) {
        FUZZ_CHECK(!part.empty());
        total += part.size();
        for (char delimiter : delimiters) {
            FUZZ_CHECK(text::FindChar(part, delimiter) == text::npos);
        }
    }
    FUZZ_CHECK(total <= text.size());
}

void CheckBackslash(std::string_view text) {
    const std::string path(text);
    const std::string folder = AppendBackslash(path);
    if (path.empty()) {
        FUZZ_CHECK(folder.empty());
        return;
    }
    FUZZ_CHECK(folder.compare(0, path.size(), path) == 0 && folder.back() == '\\');
    FUZZ_CHECK(folder.size() <= path.size() + 1);
}

} // namespace

// The first byte says how long the needle is; the needle follows, then the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string_view needle = rest.substr(0, std::min<std::size_t>(data[0], rest.size()));
    const std::string_view text = rest.substr(needle.size());

    CheckSearches(text, needle);
    CheckTrimming(text);
    CheckOrderAndCase(text, needle);
    CheckSplitting(text, needle.substr(0, 4));
    CheckBackslash(text);
    return 0;
}
