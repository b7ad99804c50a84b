#include "log/temp_folder.h"

std::string GetTempFolderLongForm() {
    char folder[MAX_PATH] = {};
    if (!FitsBuffer(GetTempPathA(MAX_PATH, folder), MAX_PATH)) {
        return "";
    }
    char longFolder[MAX_PATH] = {};
    if (FitsBuffer(GetLongPathNameA(folder, longFolder, MAX_PATH), MAX_PATH)) {
        return longFolder;
    }
    return folder;
}
