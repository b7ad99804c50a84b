#include "msiquery/record_text.h"

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
