#include "transform_streams.h"

#include <map>
#include <stdexcept>

namespace patch_builder {

namespace {

constexpr char16_t kTablePrefix = 0x4840;
constexpr std::size_t kMaxTableStreamName = 31; // code units, prefix included
constexpr std::uint32_t kLongStringReferences = 0x8000;

int CharacterCode(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 36;
    }
    if (c == '.') {
        return 62;
    }
    if (c == '_') {
        return 63;
    }
    return -1;
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// The transform's own strings, numbered from 1 in order of first use, with use counts.
class StringPool {
public:
    void Count(const std::string& text) {
        auto [entry, added] = ids_.try_emplace(text, static_cast<std::uint32_t>(texts_.size() + 1));
        if (added) {
            texts_.push_back(text);
            uses_.push_back(0);
        }
        ++uses_[entry->second - 1];
    }
    std::uint32_t Id(const std::string& text) const { return ids_.at(text); }
    int ReferenceBytes() const { return texts_.size() >= 0xFFFF ? 3 : 2; }

    Stream PoolStream(std::uint32_t codepage) const {
        std::string pool;
        const std::uint32_t flag = ReferenceBytes() == 3 ? kLongStringReferences : 0;
        PutLittleEndian(pool, codepage & 0xFFFF, 2);
        PutLittleEndian(pool, (codepage >> 16) | flag, 2);
        for (std::size_t i = 0; i < texts_.size(); ++i) {
            if (texts_[i].size() > 0xFFFF) {
                throw std::runtime_error("a string of more than 65535 bytes in a changed row");
            }
            PutLittleEndian(pool, static_cast<std::uint32_t>(texts_[i].size()), 2);
            PutLittleEndian(pool, uses_[i] > 0xFFFF ? 0xFFFF : uses_[i], 2);
        }
        return {EncodeStreamName("_StringPool", true), pool};
    }
    Stream DataStream() const {
        std::string data;
        for (const std::string& text : texts_) {
            data += text;
        }
        return {EncodeStreamName("_StringData", true), data};
    }

private:
    std::map<std::string, std::uint32_t> ids_;
    std::vector<std::string> texts_;
    std::vector<std::uint32_t> uses_;
};

bool Carries(const TableTransform& table, const TransformRow& row, std::size_t column) {
    if (row.mask & 1) {
        return column < static_cast<std::size_t>(row.mask >> 8);
    }
    return table.columns[column].key || (column < 16 && (row.mask & (1u << column)) != 0);
}

// Binary fields travel as streams named after the table and the row's keys.
std::string BinaryStreamName(const TableTransform& table, const Row& row) {
    std::string name = table.table;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        if (!table.columns[i].key) {
            continue;
        }
        name += '.';
        name += table.columns[i].kind == ColumnKind::String ? row[i].bytes
                                                            : std::to_string(row[i].number);
    }
    return name;
}

} // namespace

std::u16string EncodeStreamName(const std::string& name, bool table) {
    std::u16string encoded;
    if (table) {
        encoded.push_back(kTablePrefix);
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80) {
            throw std::runtime_error("stream name \"" + name + "\" is not plain ASCII");
        }
        const int first = CharacterCode(name[i]);
        if (first < 0) {
            encoded.push_back(c);
            continue;
        }
        const int second = i + 1 < name.size() ? CharacterCode(name[i + 1]) : -1;
        if (second < 0) {
            encoded.push_back(static_cast<char16_t>(0x4800 + first));
        } else {
            encoded.push_back(static_cast<char16_t>(0x3800 + first + (second << 6)));
            ++i;
        }
    }
    if (table && encoded.size() > kMaxTableStreamName) {
        throw std::runtime_error("table name \"" + name + "\" is too long for a stream name");
    }
    return encoded;
}

std::vector<Stream> EncodeTransform(const Transform& transform, std::uint32_t codepage) {
    StringPool pool;
    for (const TableTransform& table : transform.tables) {
        pool.Count(table.table);
        for (const TransformRow& row : table.rows) {
            for (std::size_t i = 0; i < table.columns.size(); ++i) {
                if (Carries(table, row, i) && table.columns[i].kind == ColumnKind::String &&
                    !row.fields[i].isNull) {
                    pool.Count(row.fields[i].bytes);
                }
            }
        }
    }
    const int referenceBytes = pool.ReferenceBytes();
    std::vector<Stream> streams;
    for (const TableTransform& table : transform.tables) {
        Stream rows{EncodeStreamName(table.table, true), {}};
        for (const TransformRow& row : table.rows) {
            PutLittleEndian(rows.data, row.mask, 2);
            for (std::size_t i = 0; i < table.columns.size(); ++i) {
                if (!Carries(table, row, i)) {
                    continue;
                }
                const Field& field = row.fields[i];
                switch (table.columns[i].kind) {
                case ColumnKind::String:
                    PutLittleEndian(rows.data, field.isNull ? 0 : pool.Id(field.bytes),
                                    referenceBytes);
                    break;
                case ColumnKind::Short:
                    PutLittleEndian(
                        rows.data,
                        field.isNull ? 0 : static_cast<std::uint32_t>(field.number) + 0x8000, 2);
                    break;
                case ColumnKind::Long:
                    PutLittleEndian(
                        rows.data,
                        field.isNull ? 0 : static_cast<std::uint32_t>(field.number) ^ 0x80000000u,
                        4);
                    break;
                case ColumnKind::Binary:
                    // The installer finds the content by the row's keys, not by this cell.
                    PutLittleEndian(rows.data, 0, 2);
                    if (!field.isNull) {
                        streams.push_back(
                            {EncodeStreamName(BinaryStreamName(table, row.fields), false),
                             field.bytes});
                    }
                    break;
                }
            }
        }
        streams.push_back(std::move(rows));
    }
    streams.push_back(pool.PoolStream(codepage));
    streams.push_back(pool.DataStream());
    return streams;
}

} // namespace patch_builder
