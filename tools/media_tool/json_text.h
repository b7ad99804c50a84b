// JSON text for a release pipeline: plain ASCII, every other character escaped, so that the
// report reads the same whatever code page the pipeline's machine has.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A JSON string of a code page 932 text.
std::string JsonString(std::string_view text);
// A JSON string, or null.
std::string JsonStringOrNull(const std::optional<std::string>& text);

// {"name": value, ...} on one line; the values are JSON already.
std::string JsonObject(const std::vector<std::pair<const char*, std::string>>& fields);
// A JSON array of values, one a line, indented by `indent` blanks.
std::string JsonArray(const std::vector<std::string>& values, int indent);
