#include "database_model.h"

#include <stdexcept>

namespace patch_builder {

namespace {

// The bits of a _Columns type value.
constexpr int kValid = 0x0100;
constexpr int kLocalizable = 0x0200;
constexpr int kShortOrText = 0x0400;
constexpr int kString = 0x0800;
constexpr int kNullable = 0x1000;
constexpr int kKey = 0x2000;

bool KeysEqual(const Table& table, const Row& a, const Row& b) {
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (table.columns[i].key && !(a[i] == b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

int Table::ColumnIndex(const std::string& column) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == column) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const Row* Table::FindRow(const Row& keys) const {
    for (const Row& row : rows) {
        if (KeysEqual(*this, row, keys)) {
            return &row;
        }
    }
    return nullptr;
}

Row* Table::FindRow(const Row& keys) {
    return const_cast<Row*>(static_cast<const Table*>(this)->FindRow(keys));
}

const Table* Database::Find(const std::string& name) const {
    for (const Table& table : tables) {
        if (table.name == name) {
            return &table;
        }
    }
    return nullptr;
}

Table* Database::Find(const std::string& name) {
    return const_cast<Table*>(static_cast<const Database*>(this)->Find(name));
}

std::string Database::Property(const std::string& name) const {
    const Table* table = Find("Property");
    if (table == nullptr || table->columns.size() < 2) {
        return "";
    }
    for (const Row& row : table->rows) {
        if (row[0].bytes == name) {
            return row[1].bytes;
        }
    }
    return "";
}

Column ParseColumn(const std::string& name, const std::string& definition, bool key) {
    if (definition.size() < 2) {
        throw std::runtime_error("column " + name + ": unknown type \"" + definition + "\"");
    }
    const char letter = definition[0];
    const bool nullable = letter >= 'A' && letter <= 'Z';
    int size = 0;
    try {
        size = std::stoi(definition.substr(1));
    } catch (const std::exception&) {
        throw std::runtime_error("column " + name + ": unknown type \"" + definition + "\"");
    }
    Column column;
    column.name = name;
    column.key = key;
    switch (letter | 0x20) {
    case 's':
        column.kind = ColumnKind::String;
        column.type = kValid | kShortOrText | kString | size;
        break;
    case 'l':
        column.kind = ColumnKind::String;
        column.type = kValid | kShortOrText | kString | kLocalizable | size;
        break;
    case 'v':
        column.kind = ColumnKind::Binary;
        column.type = kValid | kString;
        break;
    case 'i':
        if (size == 2) {
            column.kind = ColumnKind::Short;
            column.type = kValid | kShortOrText | 2;
        } else if (size == 4) {
            column.kind = ColumnKind::Long;
            column.type = kValid | 4;
        } else {
            throw std::runtime_error("column " + name + ": integer of " + std::to_string(size) +
                                     " bytes");
        }
        break;
    default:
        throw std::runtime_error("column " + name + ": unknown type \"" + definition + "\"");
    }
    if (nullable) {
        column.type |= kNullable;
    }
    if (key) {
        column.type |= kKey;
    }
    return column;
}

} // namespace patch_builder
