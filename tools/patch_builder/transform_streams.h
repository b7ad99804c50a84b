// A transform written out as the streams of its storage: one stream of rows per table, the
// transform's own string pool, and a stream per binary field it carries.
#pragma once

#include "table_diff.h"

#include <cstdint>
#include <string>
#include <vector>

namespace patch_builder {

struct Stream {
    std::u16string name; // as stored in the compound file
    std::string data;
};

// The compound-file name of a table's stream (`table`) or of another stream of an installer
// database: pairs of characters from [0-9A-Za-z._] share one code unit. Throws
// std::runtime_error for a name that does not fit.
std::u16string EncodeStreamName(const std::string& name, bool table);

// The streams of `transform`; strings are already bytes of `codepage`, which the pool records.
std::vector<Stream> EncodeTransform(const Transform& transform, std::uint32_t codepage);

} // namespace patch_builder
