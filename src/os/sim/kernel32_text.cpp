// Simulated text conversion: code page 932 (the machine's ANSI code page) to UTF-16, by glibc's
// CP932 table. Windows replaces a byte sequence that is no character; the simulation does not
// model that and fails instead, so no test comes to depend on a replacement character.
#include "os/sim/sim_api.h"

#include <iconv.h>

#include <cstring>
#include <string>

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    if ((CodePage != CP_ACP && CodePage != 932) || dwFlags != 0 || lpMultiByteStr == nullptr ||
        cbMultiByte == 0 || cchWideChar < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // -1: the text up to and including its NUL.
    const std::size_t length =
        cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
    std::string input(lpMultiByteStr, length);
    std::u16string output(length, u'\0');
    iconv_t converter = iconv_open("UTF-16LE", "CP932");
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = reinterpret_cast<char*>(output.data());
    std::size_t outLeft = output.size() * sizeof(char16_t);
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1)) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
    }
    output.resize(output.size() - outLeft / sizeof(char16_t));
    const int needed = static_cast<int>(output.size());
    if (cchWideChar == 0) {
        return needed;
    }
    if (needed > cchWideChar) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpWideCharStr, output.data(), output.size() * sizeof(char16_t));
    return needed;
}
