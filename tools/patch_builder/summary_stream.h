// The summary information stream ("\005SummaryInformation") of a transform storage: a
// property set of the summary format id with strings in the ANSI code page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace patch_builder {

struct SummaryProperty {
    enum class Kind { Short, Long, Text };
    std::uint32_t id = 0;
    Kind kind = Kind::Text;
    std::int32_t number = 0;
    std::string text;

    static SummaryProperty Short(std::uint32_t id, std::int16_t value) {
        return {id, Kind::Short, value, {}};
    }
    static SummaryProperty Long(std::uint32_t id, std::int32_t value) {
        return {id, Kind::Long, value, {}};
    }
    static SummaryProperty Text(std::uint32_t id, std::string value) {
        return {id, Kind::Text, 0, std::move(value)};
    }
};

// Property ids of the summary information set.
namespace summary_id {
constexpr std::uint32_t kCodepage = 1;
constexpr std::uint32_t kTitle = 2;
constexpr std::uint32_t kSubject = 3;
constexpr std::uint32_t kAuthor = 4;
constexpr std::uint32_t kKeywords = 5;
constexpr std::uint32_t kComments = 6;
constexpr std::uint32_t kTemplate = 7;
constexpr std::uint32_t kLastSavedBy = 8;
constexpr std::uint32_t kRevisionNumber = 9;
constexpr std::uint32_t kPageCount = 14;
constexpr std::uint32_t kWordCount = 15;
constexpr std::uint32_t kCharacterCount = 16;
constexpr std::uint32_t kSecurity = 19;
} // namespace summary_id

// The name of the stream in a storage.
std::u16string SummaryStreamName();

// The stream's bytes; properties in the order given.
std::string SummaryStream(const std::vector<SummaryProperty>& properties);

} // namespace patch_builder
