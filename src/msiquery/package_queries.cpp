#include "msiquery/package_queries.h"

#include "log/trace_scope.h"
#include "os/scoped_handle.h"

#include <vector>

bool ReadRecordText(MSIHANDLE record, UINT field, std::string& value) {
    DWORD length = 0;
    const UINT sized = MsiRecordGetStringA(record, field, nullptr, &length);
    if (!(sized == ERROR_SUCCESS || (sized == ERROR_MORE_DATA && length != 0))) {
        return false;
    }
    DWORD size = length + 1;
    std::vector<char> buffer(size, '\0');
    if (MsiRecordGetStringA(record, field, buffer.data(), &size) != ERROR_SUCCESS) {
        return false;
    }
    value = buffer.data();
    return true;
}

bool GetMSIProperty(const std::string& name, const std::string& packagePath, std::string& value) {
    CTraceScope scope("GetMSIProperty");
    TraceLine("Property:" + name);

    CMsiHandle database;
    if (MsiOpenDatabaseA(packagePath.c_str(), MSIDBOPEN_READONLY, database.Put()) !=
        ERROR_SUCCESS) {
        TraceLastError("MsiOpenDatabase Err");
        return false;
    }
    // The callers pass fixed names, so the name goes into the query as it is.
    const std::string query = "SELECT Value FROM Property WHERE Property='" + name + "'";
    CMsiHandle view;
    if (MsiDatabaseOpenViewA(database.Get(), query.c_str(), view.Put()) != ERROR_SUCCESS) {
        TraceLastError("MsiDatabaseOpenView Err");
        return false;
    }
    if (MsiViewExecute(view.Get(), 0) != ERROR_SUCCESS) {
        TraceLastError("MsiDatabaseOpenView Err");
        return false;
    }
    CMsiHandle record;
    if (MsiViewFetch(view.Get(), record.Put()) != ERROR_SUCCESS) {
        TraceLastError("MsiViewFetch Err");
        return false;
    }
    if (!ReadRecordText(record.Get(), 1, value)) {
        TraceLastError("MsiRecordGetString Err");
        return false;
    }
    TraceLine("Data    :" + value);
    return true;
}

bool GetMSIProductCode(const std::string& packagePath, std::string& productCode) {
    return GetMSIProperty("ProductCode", packagePath, productCode);
}

bool GetMSIProductInfo(const std::string& productCode, const std::string& attribute,
                       std::string& value) {
    CTraceScope scope("GetMSIProductInfo");
    char buffer[512] = {};
    DWORD length = sizeof buffer;
    const UINT result = MsiGetProductInfoA(productCode.c_str(), attribute.c_str(), buffer, &length);
    TraceLine("Property:" + attribute);
    if (result != ERROR_SUCCESS) {
        TraceLastError("GetMSIProductInfo Err");
        return false;
    }
    value = buffer;
    TraceLine("Value   :" + value);
    return true;
}
