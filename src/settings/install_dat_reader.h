// Reads keys and whole sections of the settings file (the run's copy of Install.dat).
#pragma once

#include "os/win32api.h"

#include <string>
#include <vector>

// One "key=value" line of a section.
struct tagEntryValue {
    std::string strKey;
    std::string strValue;

    bool operator==(const tagEntryValue&) const = default;
};

class CInstallDatReader {
public:
    CInstallDatReader(std::string strFilePath, std::string strSection)
        : m_strFilePath(std::move(strFilePath)), m_strSection(std::move(strSection)) {}

    // TRUE with the key's text, or FALSE with `defaultValue` when the key is missing. A value
    // of exactly "~" reads as missing: it is the marker for "not found".
    BOOL ReadString(LPCSTR key, LPCSTR defaultValue, std::string& value) const;
    // The section's "key=value" entries in file order; lines without a key are left out.
    int ReadSection(std::vector<tagEntryValue>& entries) const;

private:
    std::string m_strFilePath;
    std::string m_strSection;
};
