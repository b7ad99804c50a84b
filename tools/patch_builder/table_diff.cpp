#include "table_diff.h"

#include <stdexcept>

namespace patch_builder {

namespace {

TransformRow WholeRow(const Row& row) {
    return {static_cast<std::uint16_t>((row.size() << 8) | 1), row};
}

// Only the keys of a deleted row are stored.
TransformRow Deletion(const Table& table, const Row& row) {
    TransformRow deletion{0, row};
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (!table.columns[i].key) {
            deletion.fields[i] = Field::Null();
        }
    }
    return deletion;
}

// The change of one row kept under its keys; mask 0 when nothing changed. A column outside
// the 16-bit mask, or a changed first column (which would read as the whole-row bit), makes
// the row travel whole.
TransformRow Update(const Table& table, const Row& before, const Row& after) {
    std::uint16_t mask = 0;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (table.columns[i].key || before[i] == after[i]) {
            continue;
        }
        if (i == 0 || i >= 16) {
            return WholeRow(after);
        }
        mask |= static_cast<std::uint16_t>(1u << i);
    }
    return {mask, after};
}

void CheckSameColumns(const Table& before, const Table& after) {
    bool same = before.columns.size() == after.columns.size();
    for (std::size_t i = 0; same && i < before.columns.size(); ++i) {
        const Column& a = before.columns[i];
        const Column& b = after.columns[i];
        same = a.name == b.name && a.type == b.type;
    }
    if (!same) {
        throw std::runtime_error("table " + after.name +
                                 ": its columns differ between the packages; a patch can add "
                                 "tables but not change a table's columns");
    }
}

} // namespace

std::vector<Column> TablesCatalogueColumns() {
    return {ParseColumn("Name", "s64", true)};
}

std::vector<Column> ColumnsCatalogueColumns() {
    return {ParseColumn("Table", "s64", true), ParseColumn("Number", "i2", true),
            ParseColumn("Name", "s64", false), ParseColumn("Type", "i2", false)};
}

Transform Diff(const Database& from, const Database& to) {
    TableTransform tables{"_Tables", TablesCatalogueColumns(), {}};
    TableTransform columns{"_Columns", ColumnsCatalogueColumns(), {}};
    Transform data;
    for (const Table& after : to.tables) {
        TableTransform changes{after.name, after.columns, {}};
        const Table* before = from.Find(after.name);
        if (before == nullptr) {
            tables.rows.push_back(WholeRow({Field::Text(after.name)}));
            for (std::size_t i = 0; i < after.columns.size(); ++i) {
                const Column& column = after.columns[i];
                columns.rows.push_back(
                    WholeRow({Field::Text(after.name), Field::Number(static_cast<int>(i + 1)),
                              Field::Text(column.name), Field::Number(column.type)}));
            }
            for (const Row& row : after.rows) {
                changes.rows.push_back(WholeRow(row));
            }
        } else {
            CheckSameColumns(*before, after);
            for (const Row& row : after.rows) {
                const Row* old = before->FindRow(row);
                if (old == nullptr) {
                    changes.rows.push_back(WholeRow(row));
                } else if (TransformRow update = Update(after, *old, row); update.mask != 0) {
                    changes.rows.push_back(std::move(update));
                }
            }
            for (const Row& row : before->rows) {
                if (after.FindRow(row) == nullptr) {
                    changes.rows.push_back(Deletion(*before, row));
                }
            }
        }
        if (!changes.rows.empty()) {
            data.tables.push_back(std::move(changes));
        }
    }
    for (const Table& before : from.tables) {
        if (to.Find(before.name) == nullptr) {
            tables.rows.push_back({0, {Field::Text(before.name)}});
        }
    }
    Transform transform;
    if (!tables.rows.empty()) {
        transform.tables.push_back(std::move(tables));
    }
    if (!columns.rows.empty()) {
        transform.tables.push_back(std::move(columns));
    }
    for (TableTransform& changes : data.tables) {
        transform.tables.push_back(std::move(changes));
    }
    return transform;
}

const TableTransform* FindTable(const Transform& transform, const std::string& table) {
    for (const TableTransform& changes : transform.tables) {
        if (changes.table == table) {
            return &changes;
        }
    }
    return nullptr;
}

} // namespace patch_builder
