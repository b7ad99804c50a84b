// The tables of an installer database as the patch builder compares them: every value is held
// as the bytes that end up in a transform (strings in the database code page).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace patch_builder {

enum class ColumnKind { String, Short, Long, Binary };

struct Column {
    std::string name;
    ColumnKind kind = ColumnKind::String;
    bool key = false;
    int type = 0; // the value a _Columns row holds for this column
};

// A null field, or a string (code page bytes), a number, or a binary stream's content.
// Empty strings are null, as in the installer's own tables.
struct Field {
    bool isNull = true;
    std::string bytes;
    std::int32_t number = 0;

    static Field Null() { return {}; }
    static Field Text(std::string text) {
        Field field;
        field.isNull = text.empty();
        field.bytes = std::move(text);
        return field;
    }
    static Field Number(std::int32_t value) {
        Field field;
        field.isNull = false;
        field.number = value;
        return field;
    }
    bool operator==(const Field&) const = default;
};

using Row = std::vector<Field>;

struct Table {
    std::string name;
    std::vector<Column> columns;
    std::vector<Row> rows;

    int ColumnIndex(const std::string& column) const;
    // The row whose key fields equal those of `keys`, or nullptr.
    const Row* FindRow(const Row& keys) const;
    Row* FindRow(const Row& keys);
};

struct Database {
    std::vector<Table> tables;

    const Table* Find(const std::string& name) const;
    Table* Find(const std::string& name);
    // The value of a Property row, or "" when there is none.
    std::string Property(const std::string& name) const;
};

// Reads a column definition as the installer describes it ("s72", "I2", "L0", "v0", ...).
// Throws std::runtime_error for a kind the builder does not handle.
Column ParseColumn(const std::string& name, const std::string& definition, bool key);

} // namespace patch_builder
