#include "package_reader.h"

#include "msi_handle.h"
#include "summary_stream.h"
#include "temporary_file.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

namespace patch_builder {

namespace {

std::string WideToCodepage(const std::wstring& text, UINT codepage) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(codepage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codepage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

std::wstring RecordText(MSIHANDLE record, UINT field) {
    DWORD size = 0;
    wchar_t none[1] = {};
    UINT result = MsiRecordGetStringW(record, field, none, &size);
    if (result != ERROR_MORE_DATA && result != ERROR_SUCCESS) {
        Require(result, "reading a field");
    }
    std::wstring text(size + 1, L'\0');
    DWORD length = size + 1;
    Require(MsiRecordGetStringW(record, field, text.data(), &length), "reading a field");
    text.resize(length);
    return text;
}

std::string RecordStream(MSIHANDLE record, UINT field) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        DWORD size = sizeof buffer;
        Require(MsiRecordReadStream(record, field, buffer, &size), "reading a binary field");
        if (size == 0) {
            return bytes;
        }
        bytes.append(buffer, size);
    }
}

std::string SummaryText(MSIHANDLE summary, UINT property) {
    UINT type = 0;
    INT number = 0;
    FILETIME time{};
    DWORD size = 0;
    char none[1] = {};
    UINT result = MsiSummaryInfoGetPropertyA(summary, property, &type, &number, &time, none, &size);
    if (result != ERROR_MORE_DATA && result != ERROR_SUCCESS) {
        Require(result, "reading the summary information");
    }
    std::string text(size + 1, '\0');
    DWORD length = size + 1;
    Require(
        MsiSummaryInfoGetPropertyA(summary, property, &type, &number, &time, text.data(), &length),
        "reading the summary information");
    text.resize(length);
    return text;
}

// The code page the database's strings are stored in, from its _ForceCodepage export.
std::uint32_t DatabaseCodepage(MSIHANDLE database) {
    const TemporaryFile file;
    Require(
        MsiDatabaseExportA(database, "_ForceCodepage", file.folder().c_str(), file.name().c_str()),
        "reading the database code page");
    std::ifstream input(file.path(), std::ios::binary);
    std::string line;
    std::uint32_t codepage = 0;
    while (std::getline(input, line)) {
        if (line.find("_ForceCodepage") != std::string::npos) {
            codepage = static_cast<std::uint32_t>(std::stoul(line));
        }
    }
    return codepage;
}

std::vector<std::string> ColumnInfo(MSIHANDLE view, MSICOLINFO kind, UINT codepage) {
    MsiHandle record;
    Require(MsiViewGetColumnInfo(view, kind, record.receive()), "reading column information");
    std::vector<std::string> values;
    const UINT count = MsiRecordGetFieldCount(record.get());
    for (UINT i = 1; i <= count; ++i) {
        values.push_back(WideToCodepage(RecordText(record.get(), i), codepage));
    }
    return values;
}

std::vector<std::string> PrimaryKeys(MSIHANDLE database, const std::string& table) {
    MsiHandle record;
    Require(MsiDatabaseGetPrimaryKeysA(database, table.c_str(), record.receive()),
            "reading the keys of " + table);
    std::vector<std::string> keys;
    const UINT count = MsiRecordGetFieldCount(record.get());
    for (UINT i = 1; i <= count; ++i) {
        keys.push_back(WideToCodepage(RecordText(record.get(), i), CP_ACP));
    }
    return keys;
}

Table ReadTable(MSIHANDLE database, const std::string& name, UINT codepage) {
    Table table{name, {}, {}};
    MsiHandle view;
    OpenView(database, "SELECT * FROM `" + name + "`", view);
    const std::vector<std::string> names = ColumnInfo(view.get(), MSICOLINFO_NAMES, CP_ACP);
    const std::vector<std::string> types = ColumnInfo(view.get(), MSICOLINFO_TYPES, CP_ACP);
    const std::vector<std::string> keys = PrimaryKeys(database, name);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool key = std::find(keys.begin(), keys.end(), names[i]) != keys.end();
        table.columns.push_back(ParseColumn(names[i], types[i], key));
    }
    for (;;) {
        MsiHandle record;
        const UINT result = MsiViewFetch(view.get(), record.receive());
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        Require(result, "reading the rows of " + name);
        Row row;
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            const UINT field = static_cast<UINT>(i + 1);
            if (MsiRecordIsNull(record.get(), field)) {
                row.push_back(Field::Null());
                continue;
            }
            switch (table.columns[i].kind) {
            case ColumnKind::String:
                row.push_back(
                    Field::Text(WideToCodepage(RecordText(record.get(), field), codepage)));
                break;
            case ColumnKind::Binary:
                row.push_back(Field::Text(RecordStream(record.get(), field)));
                break;
            default:
                row.push_back(Field::Number(MsiRecordGetInteger(record.get(), field)));
                break;
            }
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

} // namespace

Package ReadPackage(const std::string& path) {
    MsiHandle database;
    Require(MsiOpenDatabaseA(path.c_str(), MSIDBOPEN_READONLY, database.receive()),
            "opening " + path);
    Package package;
    package.codepage = DatabaseCodepage(database.get());
    const UINT codepage = package.codepage == 0 ? CP_ACP : package.codepage;
    {
        MsiHandle summary;
        Require(MsiGetSummaryInformationA(database.get(), nullptr, 0, summary.receive()),
                "reading the summary information");
        package.platformAndLanguages = SummaryText(summary.get(), summary_id::kTemplate);
    }
    std::vector<std::string> names;
    {
        MsiHandle view;
        OpenView(database.get(), "SELECT `Name` FROM `_Tables`", view);
        for (;;) {
            MsiHandle record;
            const UINT result = MsiViewFetch(view.get(), record.receive());
            if (result == ERROR_NO_MORE_ITEMS) {
                break;
            }
            Require(result, "listing the tables of " + path);
            names.push_back(WideToCodepage(RecordText(record.get(), 1), CP_ACP));
        }
    }
    for (const std::string& name : names) {
        // The validation table describes columns; the installer does not read it when it
        // applies a patch, and tools regenerate it.
        if (name != "_Validation") {
            package.database.tables.push_back(ReadTable(database.get(), name, codepage));
        }
    }
    return package;
}

std::string ReadPackageStream(const std::string& path, const std::string& name) {
    MsiHandle database;
    Require(MsiOpenDatabaseA(path.c_str(), MSIDBOPEN_READONLY, database.receive()),
            "opening " + path);
    MsiHandle parameters(MsiCreateRecord(1));
    Require(MsiRecordSetStringA(parameters.get(), 1, name.c_str()), "naming a stream");
    MsiHandle view;
    OpenView(database.get(), "SELECT `Data` FROM `_Streams` WHERE `Name` = ?", view,
             parameters.get());
    MsiHandle record;
    if (MsiViewFetch(view.get(), record.receive()) != ERROR_SUCCESS) {
        throw std::runtime_error(path + " has no stream " + name);
    }
    return RecordStream(record.get(), 1);
}

} // namespace patch_builder
