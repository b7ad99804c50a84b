// Starts a program and answers its dialogs and message boxes in turn: for each one it takes a
// picture, writes down what it shows, and clicks the button the next answer names.
//   usage: dialog_answer OUT_PREFIX ANSWERS TIMEOUT_SECONDS PROGRAM [ARGUMENTS...]
// ANSWERS is a comma-separated list of button ids, one per window in order ("-" for none).
// For the n-th window (from 1) it writes OUT_PREFIX-n.bmp (as drawn) and OUT_PREFIX-n.txt
// (UTF-8: the caption, then one line per control: id, class, text). Exit code 0 when every
// window was answered and the program ended; 3 on time-out (the program is ended), 4 when
// more windows came than answers.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (std::string(className) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window) &&
        process == search->process) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                        nullptr);
    return text;
}

bool SaveBitmap(HWND window, const std::string& path) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(stride * static_cast<DWORD>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(pixels.data(), 1, pixels.size(), out);
    std::fclose(out);
    return true;
}

std::vector<int> ParseAnswers(const std::string& text) {
    std::vector<int> answers;
    if (text == "-") {
        return answers;
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        answers.push_back(std::atoi(text.substr(start, comma - start).c_str()));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return answers;
}

void Record(HWND dialog, const std::string& prefix) {
    // Let the window finish its initialisation and its first painting (the first Japanese
    // font takes a while to load) before the picture is taken.
    SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
    Sleep(1500);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(500);
    SaveBitmap(dialog, prefix + ".bmp");
    std::string report = Utf8(TextOf(dialog)) + "\n";
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        report += std::to_string(GetDlgCtrlID(child)) + "\t" + className + "\t" +
                  Utf8(TextOf(child)) + "\n";
    }
    if (std::FILE* out = std::fopen((prefix + ".txt").c_str(), "wb")) {
        std::fwrite(report.data(), 1, report.size(), out);
        std::fclose(out);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: dialog_answer OUT_PREFIX ANSWERS TIMEOUT_SECONDS PROGRAM "
                             "[ARGUMENTS...]\n");
        return 2;
    }
    const std::string prefix = argv[1];
    const std::vector<int> answers = ParseAnswers(argv[2]);
    const DWORD timeout = static_cast<DWORD>(std::atoi(argv[3])) * 1000;
    std::string commandLine = std::string("\"") + argv[4] + "\"";
    for (int i = 5; i < argc; ++i) {
        commandLine += std::string(" ") + argv[i];
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fprintf(stderr, "dialog_answer: cannot start %s\n", argv[4]);
        return 2;
    }
    CloseHandle(process.hThread);

    const DWORD start = GetTickCount();
    std::size_t answered = 0;
    int result = 0;
    while (WaitForSingleObject(process.hProcess, 25) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > timeout) {
            std::fprintf(stderr, "dialog_answer: time-out\n");
            TerminateProcess(process.hProcess, 1);
            result = 3;
            break;
        }
        Search search{process.dwProcessId, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            continue;
        }
        const std::string name = prefix + "-" + std::to_string(answered + 1);
        Record(search.found, name);
        if (answered >= answers.size()) {
            std::fprintf(stderr, "dialog_answer: a window more than answers\n");
            TerminateProcess(process.hProcess, 1);
            result = 4;
            break;
        }
        HWND button = GetDlgItem(search.found, answers[answered]);
        if (button == nullptr) {
            std::fprintf(stderr, "dialog_answer: no button %d\n", answers[answered]);
            TerminateProcess(process.hProcess, 1);
            result = 4;
            break;
        }
        SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_BLOCK, 5000, nullptr);
        ++answered;
        // Wait for the window to go before looking for the next one.
        while (IsWindow(search.found) && IsWindowVisible(search.found) &&
               GetTickCount() - start <= timeout) {
            Sleep(25);
        }
    }
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    if (result == 0 && answered != answers.size()) {
        std::fprintf(stderr, "dialog_answer: %zu of %zu answers used\n", answered, answers.size());
        result = 5;
    }
    return result;
}
