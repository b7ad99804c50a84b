// The row differences between two databases, in the shape an installer transform stores them.
#pragma once

#include "database_model.h"

#include <cstdint>
#include <string>
#include <vector>

namespace patch_builder {

struct TransformRow {
    // (column count << 8) | 1: the whole row (inserted, or replacing the row of the same keys);
    // 0: the row of these keys is deleted; otherwise one bit per column that changes (bit i for
    // column i); the key columns always come along.
    std::uint16_t mask = 0;
    Row fields;
};

struct TableTransform {
    std::string table;
    std::vector<Column> columns;
    std::vector<TransformRow> rows;
};

struct Transform {
    std::vector<TableTransform> tables;
};

// The columns of the installer's own catalogue tables, as transforms address them.
std::vector<Column> TablesCatalogueColumns();
std::vector<Column> ColumnsCatalogueColumns();

// What turns `from` into `to`: changed rows by their changed columns, new rows whole, missing
// rows deleted, new tables with their catalogue rows. Throws std::runtime_error when a table
// keeps its name but changes its columns.
Transform Diff(const Database& from, const Database& to);

// The rows of `table` in `transform`, or nullptr.
const TableTransform* FindTable(const Transform& transform, const std::string& table);

} // namespace patch_builder
