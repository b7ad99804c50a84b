#include "patch_layout.h"

#include <algorithm>
#include <stdexcept>

namespace patch_builder {

namespace {

int RequiredColumn(const Table& table, const std::string& name) {
    const int index = table.ColumnIndex(name);
    if (index < 0) {
        throw std::runtime_error("table " + table.name + " has no column " + name);
    }
    return index;
}

Table& RequiredTable(Database& database, const std::string& name) {
    Table* table = database.Find(name);
    if (table == nullptr) {
        throw std::runtime_error("the upgraded package has no " + name + " table");
    }
    return *table;
}

std::int32_t SequenceOf(const Table& files, const std::string& key) {
    const int sequence = RequiredColumn(files, "Sequence");
    for (const Row& row : files.rows) {
        if (row[0].bytes == key) {
            return row[sequence].number;
        }
    }
    return 0;
}

} // namespace

std::vector<std::string> ChangedFiles(const Transform& upgrade, const Database& upgraded) {
    std::vector<std::string> keys;
    auto add = [&keys](const std::string& key) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            keys.push_back(key);
        }
    };
    for (const char* table : {"File", "MsiFileHash"}) {
        if (const TableTransform* changes = FindTable(upgrade, table)) {
            for (const TransformRow& row : changes->rows) {
                if (row.mask != 0) {
                    add(row.fields[0].bytes);
                }
            }
        }
    }
    if (const Table* files = upgraded.Find("File")) {
        std::stable_sort(keys.begin(), keys.end(), [files](const auto& a, const auto& b) {
            return SequenceOf(*files, a) < SequenceOf(*files, b);
        });
    }
    return keys;
}

Database PatchedDatabase(const Database& upgraded, const std::vector<std::string>& files,
                         const std::string& patchCode, const std::string& cabinet) {
    Database patched = upgraded;
    if (files.empty()) {
        return patched;
    }
    Table& fileTable = RequiredTable(patched, "File");
    Table& media = RequiredTable(patched, "Media");
    const int attributes = RequiredColumn(fileTable, "Attributes");
    const int sequence = RequiredColumn(fileTable, "Sequence");
    const int diskId = RequiredColumn(media, "DiskId");
    const int lastSequence = RequiredColumn(media, "LastSequence");

    std::int32_t highestSequence = 0;
    std::int32_t highestDisk = 0;
    for (const Row& row : media.rows) {
        highestSequence = std::max(highestSequence, row[lastSequence].number);
        highestDisk = std::max(highestDisk, row[diskId].number);
    }
    for (const Row& row : fileTable.rows) {
        highestSequence = std::max(highestSequence, row[sequence].number);
    }

    std::int32_t next = highestSequence;
    for (const std::string& key : files) {
        Row* row = fileTable.FindRow(Row{Field::Text(key)});
        if (row == nullptr) {
            throw std::runtime_error("file " + key + " is not in the File table");
        }
        (*row)[attributes] = Field::Number(
            ((*row)[attributes].isNull ? 0 : (*row)[attributes].number) | kFilePatchAdded);
        (*row)[sequence] = Field::Number(++next);
    }

    Row medium(media.columns.size());
    medium[diskId] = Field::Number(highestDisk + 1);
    medium[lastSequence] = Field::Number(next);
    medium[RequiredColumn(media, "Cabinet")] = Field::Text("#" + cabinet);
    medium[RequiredColumn(media, "Source")] = Field::Text("PATCHMediaSrcProp");
    media.rows.push_back(medium);

    Table* patchPackage = patched.Find("PatchPackage");
    if (patchPackage == nullptr) {
        patched.tables.push_back(
            {"PatchPackage",
             {ParseColumn("PatchId", "s38", true), ParseColumn("Media_", "i2", false)},
             {}});
        patchPackage = &patched.tables.back();
    }
    patchPackage->rows.push_back({Field::Text(patchCode), Field::Number(highestDisk + 1)});
    return patched;
}

} // namespace patch_builder
