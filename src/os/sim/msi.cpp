// Simulated msi.dll calls, with the return codes msi.dll gives (docs/windows-behaviour.md).
// Like msi.dll they leave the thread's last error alone, except where the file itself cannot be
// read.
#include "os/sim/installer.h"
#include "os/sim/machine.h"
#include "text/mbstring.h"

#include <cstdint>
#include <cstring>
#include <regex>

using sim::Installer;
using sim::Machine;
using sim::MsiPackage;

namespace {

Installer& Msi() {
    return Machine::Current().Msi();
}

template <typename T>
T* GetAs(MSIHANDLE handle) {
    Installer::Object* object = Msi().Get(handle);
    return object == nullptr ? nullptr : std::get_if<T>(object);
}

// Reads a package file; `error` says why not.
std::optional<MsiPackage> ReadPackage(LPCSTR path, UINT& error) {
    DWORD fileError = 0;
    auto node = Machine::Current().Files().Find(path == nullptr ? "" : path, fileError);
    if (!node || node->IsFolder()) {
        SetLastError(node ? ERROR_ACCESS_DENIED : fileError);
        error = ERROR_OPEN_FAILED;
        return std::nullopt;
    }
    auto package = MsiPackage::Decode(node->data);
    if (!package) {
        error = ERROR_OPEN_FAILED; // not a structured storage of the installer
        return std::nullopt;
    }
    return package;
}

// Copies a text as the A calls do: the length without NUL comes back in *size; a buffer too
// small gets what fits and ERROR_MORE_DATA (cut = true), or is left alone (cut = false).
UINT CopyText(const std::string& value, LPSTR buffer, DWORD* size, bool cut) {
    if (size == nullptr) {
        return buffer == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    }
    const DWORD capacity = *size;
    *size = static_cast<DWORD>(value.size());
    if (buffer == nullptr) {
        return ERROR_SUCCESS;
    }
    if (value.size() >= capacity) {
        if (cut && capacity > 0) {
            std::memcpy(buffer, value.data(), capacity - 1);
            buffer[capacity - 1] = '\0';
        }
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    return ERROR_SUCCESS;
}

const std::vector<std::string>* TableColumns(const std::string& table) {
    static const std::vector<std::string> property = {"Property", "Value"};
    static const std::vector<std::string> metadata = {"Company", "Property", "Value"};
    if (table == "Property") {
        return &property;
    }
    if (table == "MsiPatchMetadata") {
        return &metadata;
    }
    return nullptr;
}

} // namespace

UINT WINAPI MsiCloseHandle(MSIHANDLE hAny) {
    if (hAny == 0) {
        return ERROR_SUCCESS;
    }
    return Msi().Close(hAny) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

UINT WINAPI MsiOpenDatabaseA(LPCSTR szDatabasePath, LPCSTR szPersist, MSIHANDLE* phDatabase) {
    if (phDatabase == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto persist = reinterpret_cast<std::uintptr_t>(szPersist);
    if (persist >= 64 || (persist & ~static_cast<std::uintptr_t>(MSIDBOPEN_PATCHFILE)) != 0) {
        return ERROR_INVALID_PARAMETER; // only read-only opens are simulated
    }
    const bool asPatch = (persist & MSIDBOPEN_PATCHFILE) != 0;
    UINT error = 0;
    auto package = ReadPackage(szDatabasePath, error);
    if (!package) {
        return error;
    }
    // The storage class decides: a patch opens only as a patch, a package only as a package.
    if (package->isPatch != asPatch) {
        return ERROR_OPEN_FAILED;
    }
    *phDatabase = Msi().Add(Installer::Database{std::move(*package)});
    return ERROR_SUCCESS;
}

UINT WINAPI MsiDatabaseOpenViewA(MSIHANDLE hDatabase, LPCSTR szQuery, MSIHANDLE* phView) {
    auto* database = GetAs<Installer::Database>(hDatabase);
    if (database == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (szQuery == nullptr || phView == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    // The one shape of query the launcher makes: SELECT columns FROM table WHERE column='text'.
    static const std::regex shape(
        R"(^\s*SELECT\s+(.+?)\s+FROM\s+`?(\w+)`?\s+WHERE\s+`?(\w+)`?\s*=\s*'([^']*)'\s*$)",
        std::regex::icase);
    std::cmatch match;
    if (!std::regex_match(szQuery, match, shape)) {
        return ERROR_BAD_QUERY_SYNTAX;
    }
    const std::string table = match[2];
    const std::vector<std::string>* columns = TableColumns(table);
    const MsiPackage& package = database->package;
    const bool present =
        table == "Property" ? package.hasPropertyTable : package.hasPatchMetadataTable;
    if (columns == nullptr || !present) {
        return ERROR_BAD_QUERY_SYNTAX;
    }
    auto columnIndex = [&](std::string name) -> int {
        if (name.size() >= 2 && name.front() == '`' && name.back() == '`') {
            name = name.substr(1, name.size() - 2);
        }
        for (std::size_t index = 0; index < columns->size(); ++index) {
            if ((*columns)[index] == name) {
                return static_cast<int>(index);
            }
        }
        return -1;
    };
    std::vector<int> selected;
    const std::string list = match[1];
    if (list == "*") {
        for (std::size_t index = 0; index < columns->size(); ++index) {
            selected.push_back(static_cast<int>(index));
        }
    } else {
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t comma = list.find(',', start);
            if (comma == std::string::npos) {
                comma = list.size();
            }
            std::string name = list.substr(start, comma - start);
            name.erase(0, name.find_first_not_of(" \t"));
            name.erase(name.find_last_not_of(" \t") + 1);
            const int index = columnIndex(name);
            if (index < 0) {
                return ERROR_BAD_QUERY_SYNTAX;
            }
            selected.push_back(index);
            start = comma + 1;
        }
    }
    const int whereColumn = columnIndex(match[3]);
    if (whereColumn < 0) {
        return ERROR_BAD_QUERY_SYNTAX;
    }
    std::vector<std::vector<std::string>> tableRows;
    if (table == "Property") {
        for (const auto& [name, value] : package.properties) {
            tableRows.push_back({name, value});
        }
    } else {
        for (const auto& row : package.patchMetadata) {
            tableRows.push_back({row[0], row[1], row[2]});
        }
    }
    Installer::View view;
    for (const auto& row : tableRows) {
        if (row[static_cast<std::size_t>(whereColumn)] != match[4].str()) {
            continue;
        }
        std::vector<std::optional<std::string>> fields;
        for (int index : selected) {
            const std::string& value = row[static_cast<std::size_t>(index)];
            // The installer stores an empty string as null.
            fields.push_back(value.empty() ? std::nullopt : std::optional<std::string>(value));
        }
        view.rows.push_back(std::move(fields));
    }
    *phView = Msi().Add(std::move(view));
    return ERROR_SUCCESS;
}

UINT WINAPI MsiViewExecute(MSIHANDLE hView, MSIHANDLE /*hRecord*/) {
    auto* view = GetAs<Installer::View>(hView);
    if (view == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    view->executed = true;
    view->next = 0;
    return ERROR_SUCCESS;
}

UINT WINAPI MsiViewFetch(MSIHANDLE hView, MSIHANDLE* phRecord) {
    auto* view = GetAs<Installer::View>(hView);
    if (view == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    if (!view->executed) {
        return ERROR_FUNCTION_FAILED;
    }
    if (view->next >= view->rows.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    *phRecord = Msi().Add(Installer::Record{view->rows[view->next++]});
    return ERROR_SUCCESS;
}

UINT WINAPI MsiViewClose(MSIHANDLE hView) {
    auto* view = GetAs<Installer::View>(hView);
    if (view == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    view->executed = false;
    return ERROR_SUCCESS;
}

UINT WINAPI MsiRecordGetStringA(MSIHANDLE hRecord, UINT iField, LPSTR szValueBuf,
                                DWORD* pcchValueBuf) {
    auto* record = GetAs<Installer::Record>(hRecord);
    if (record == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    std::string value;
    if (iField >= 1 && iField <= record->fields.size() && record->fields[iField - 1]) {
        value = *record->fields[iField - 1];
    }
    return CopyText(value, szValueBuf, pcchValueBuf, true);
}

UINT WINAPI MsiGetSummaryInformationA(MSIHANDLE hDatabase, LPCSTR szDatabasePath,
                                      UINT /*uiUpdateCount*/, MSIHANDLE* phSummaryInfo) {
    if (phSummaryInfo == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (hDatabase != 0) {
        auto* database = GetAs<Installer::Database>(hDatabase);
        if (database == nullptr) {
            return ERROR_INVALID_HANDLE;
        }
        *phSummaryInfo = Msi().Add(Installer::Summary{database->package.summary});
        return ERROR_SUCCESS;
    }
    UINT error = 0;
    auto package = ReadPackage(szDatabasePath, error);
    if (!package) {
        return error;
    }
    *phSummaryInfo = Msi().Add(Installer::Summary{package->summary});
    return ERROR_SUCCESS;
}

UINT WINAPI MsiSummaryInfoGetPropertyA(MSIHANDLE hSummaryInfo, UINT uiProperty, UINT* puiDataType,
                                       INT* piValue, FILETIME* pftValue, LPSTR szValueBuf,
                                       DWORD* pcchValueBuf) {
    auto* summary = GetAs<Installer::Summary>(hSummaryInfo);
    if (summary == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    auto found = summary->values.find(uiProperty);
    const sim::SummaryValue value =
        found == summary->values.end() ? sim::SummaryValue{} : found->second;
    if (puiDataType != nullptr) {
        *puiDataType = value.type;
    }
    switch (value.type) {
    case VT_I2:
    case VT_I4:
        if (piValue != nullptr) {
            *piValue = value.integer;
        }
        return ERROR_SUCCESS;
    case VT_FILETIME:
        if (pftValue != nullptr) {
            *pftValue = sim::Clock::ToFileTime(value.fileTime);
        }
        return ERROR_SUCCESS;
    case VT_LPSTR:
        return CopyText(value.text, szValueBuf, pcchValueBuf, true);
    default:
        return ERROR_SUCCESS;
    }
}

INSTALLSTATE WINAPI MsiQueryProductStateA(LPCSTR szProduct) {
    if (szProduct == nullptr || !sim::IsGuidText(szProduct)) {
        return INSTALLSTATE_INVALIDARG;
    }
    return Msi().Product(szProduct) != nullptr ? INSTALLSTATE_DEFAULT : INSTALLSTATE_UNKNOWN;
}

UINT WINAPI MsiGetProductInfoA(LPCSTR szProduct, LPCSTR szAttribute, LPSTR lpValueBuf,
                               DWORD* pcchValueBuf) {
    if (szProduct == nullptr || !sim::IsGuidText(szProduct) || szAttribute == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const sim::InstalledProduct* product = Msi().Product(szProduct);
    if (product == nullptr) {
        return ERROR_UNKNOWN_PRODUCT;
    }
    auto found = product->info.find(szAttribute);
    if (found == product->info.end()) {
        return ERROR_UNKNOWN_PROPERTY;
    }
    // msi.dll leaves a buffer that is too small as it was.
    return CopyText(found->second, lpValueBuf, pcchValueBuf, false);
}

UINT WINAPI MsiEnumPatchesA(LPCSTR szProduct, DWORD iPatchIndex, LPSTR lpPatchBuf,
                            LPSTR lpTransformsBuf, DWORD* pcchTransformsBuf) {
    if (szProduct == nullptr || !sim::IsGuidText(szProduct) || lpPatchBuf == nullptr ||
        lpTransformsBuf == nullptr || pcchTransformsBuf == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const sim::InstalledProduct* product = Msi().Product(szProduct);
    if (product == nullptr) {
        return ERROR_UNKNOWN_PRODUCT;
    }
    if (iPatchIndex >= product->patches.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const sim::AppliedPatch& patch = product->patches[iPatchIndex];
    std::memcpy(lpPatchBuf, patch.patchCode.c_str(), patch.patchCode.size() + 1);
    // The patch code is filled in even when the transforms do not fit.
    return CopyText(patch.transforms, lpTransformsBuf, pcchTransformsBuf, false);
}

UINT WINAPI MsiGetPatchInfoA(LPCSTR szPatch, LPCSTR szAttribute, LPSTR lpValueBuf,
                             DWORD* pcchValueBuf) {
    if (szPatch == nullptr || !sim::IsGuidText(szPatch) || szAttribute == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    const sim::AppliedPatch* patch = Msi().Patch(szPatch);
    if (patch == nullptr) {
        return ERROR_UNKNOWN_PRODUCT;
    }
    if (std::string_view(szAttribute) != "LocalPackage") {
        return ERROR_UNKNOWN_PROPERTY;
    }
    return CopyText(patch->localPackage, lpValueBuf, pcchValueBuf, false);
}
