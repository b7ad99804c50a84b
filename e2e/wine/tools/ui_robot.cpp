// Starts a program and answers its dialogs and message boxes in turn: for each one it takes a
// picture, writes down what it shows, and clicks the button the next answer names.
//   usage: ui_robot OUT_PREFIX ANSWERS TIMEOUT_SECONDS PROGRAM [ARGUMENTS...]
// ANSWERS is a comma-separated list of button ids, one per window in order ("-" for none).
// For the n-th window (from 1) it writes OUT_PREFIX-n.bmp (as drawn) and OUT_PREFIX-n.txt,
// UTF-8, the Unicode (W) texts as the window holds them:
//   the caption
//   ID <tab> CLASS <tab> TEXT                  one line per control (line feeds as \n)
//   A <tab> caption|ID <tab> HEX               the same texts as code page (A) bytes
//   default <tab> ID                           the default button
//   column <tab> ID <tab> N <tab> TEXT          list view column headings
//   row <tab> ID <tab> N <tab> TEXT <tab> ...   list view rows, one text per column
//   row-A <tab> ID <tab> N <tab> HEX <tab> ...  the same as code page bytes
// When the program ends by itself, its own exit code goes to OUT_PREFIX.exit (decimal, a line).
// With UI_ROBOT_GATE naming a file, the first window is recorded at once but answered only once
// that file exists (so that a scenario can act while the program waits on it).
// Exit code 0 when every window was answered and the program ended; 3 on time-out (the
// program is ended), 4 when more windows came than answers.
#include "owned_handle.h"
#include "process_dialog.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// Line feeds, carriage returns and tabs of a text written as \n, \r and \t: one line a text.
std::string Escaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000,
                        nullptr);
    return text;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

std::string NarrowTextOf(HWND window) {
    char text[2048] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                        2000, nullptr);
    return text;
}

// Memory in the target process for the list view's answers: its structures and texts must
// live where the list view can write them.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, SIZE_T size) : process_(process) {
        address_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (address_ != nullptr) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
    }
    bool valid() const { return address_ != nullptr; }
    BYTE* at(SIZE_T offset) const { return static_cast<BYTE*>(address_) + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
        return WriteProcessMemory(process_, at(offset), data, size, nullptr) != FALSE;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        return ReadProcessMemory(process_, at(offset), data, size, nullptr) != FALSE;
    }

private:
    HANDLE process_;
    void* address_ = nullptr;
};

constexpr SIZE_T kTextOffset = 512;
constexpr int kTextCapacity = 1024; // characters

// Sends a list view `message` whose `request` (an LVITEM or LVCOLUMN, A or W) is copied into
// the target process and points at a text buffer there; gives the text the list view wrote.
template <typename Character, typename Request>
std::basic_string<Character> AskForText(HWND list, const RemoteBuffer& buffer, UINT message,
                                        int which, Request request) {
    request.pszText = reinterpret_cast<Character*>(buffer.at(kTextOffset));
    request.cchTextMax = kTextCapacity;
    Character empty[1] = {};
    if (!buffer.Write(0, &request, sizeof request) ||
        !buffer.Write(kTextOffset, empty, sizeof empty)) {
        return empty;
    }
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(list, message, static_cast<WPARAM>(which),
                        reinterpret_cast<LPARAM>(buffer.at(0)), SMTO_BLOCK, 2000, &ignored);
    std::basic_string<Character> text(kTextCapacity, Character{});
    buffer.Read(kTextOffset, text.data(), kTextCapacity * sizeof(Character));
    text.resize(std::char_traits<Character>::length(text.c_str()));
    return text;
}

std::wstring HeadingText(HWND list, const RemoteBuffer& buffer, int column) {
    LVCOLUMNW heading{};
    heading.mask = LVCF_TEXT;
    return AskForText<wchar_t>(list, buffer, LVM_GETCOLUMNW, column, heading);
}

template <typename Character, typename Item>
std::basic_string<Character> CellText(HWND list, const RemoteBuffer& buffer, UINT message, int row,
                                      int column) {
    Item item{};
    item.iSubItem = column;
    return AskForText<Character>(list, buffer, message, row, item);
}

std::string ListViewReport(HWND list, DWORD processId) {
    const int id = GetDlgCtrlID(list);
    const OwnedHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (process.get() == nullptr) {
        return "row\t" + std::to_string(id) + "\tunreadable\n";
    }
    std::string report;
    {
        RemoteBuffer buffer(process.get(), kTextOffset + kTextCapacity * sizeof(wchar_t));
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        const int columns =
            header == nullptr ? 1 : static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        const std::string prefix = std::to_string(id) + "\t";
        for (int column = 0; buffer.valid() && column < columns; ++column) {
            report += "column\t" + prefix + std::to_string(column) + "\t" +
                      Utf8(HeadingText(list, buffer, column)) + "\n";
        }
        for (int row = 0; buffer.valid() && row < rows; ++row) {
            std::string wide = "row\t" + prefix + std::to_string(row);
            std::string narrow = "row-A\t" + prefix + std::to_string(row);
            for (int column = 0; column < columns; ++column) {
                wide += "\t" + Escaped(Utf8(CellText<wchar_t, LVITEMW>(
                                   list, buffer, LVM_GETITEMTEXTW, row, column)));
                narrow += "\t" +
                          Hex(CellText<char, LVITEMA>(list, buffer, LVM_GETITEMTEXTA, row, column));
            }
            report += wide + "\n" + narrow + "\n";
        }
    }
    return report;
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
    std::string report = Escaped(Utf8(TextOf(dialog))) + "\n";
    std::string narrow = "A\tcaption\t" + Hex(NarrowTextOf(dialog)) + "\n";
    std::string lists;
    DWORD processId = 0;
    GetWindowThreadProcessId(dialog, &processId);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        const std::string id = std::to_string(GetDlgCtrlID(child));
        report += id + "\t" + className + "\t" + Escaped(Utf8(TextOf(child))) + "\n";
        narrow += "A\t" + id + "\t" + Hex(NarrowTextOf(child)) + "\n";
        if (std::string(className) == WC_LISTVIEWA) {
            lists += ListViewReport(child, processId);
        }
    }
    const LRESULT defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    report += narrow;
    if (HIWORD(defaultId) == DC_HASDEFID) {
        report += "default\t" + std::to_string(LOWORD(defaultId)) + "\n";
    }
    report += lists;
    if (std::FILE* out = std::fopen((prefix + ".txt").c_str(), "wb")) {
        std::fwrite(report.data(), 1, report.size(), out);
        std::fclose(out);
    }
}

// Waits until `path` exists or the program ends; false when the time-out counted from `start`
// passes first.
bool WaitForGate(const char* path, HANDLE process, DWORD start, DWORD timeout) {
    while (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES &&
           WaitForSingleObject(process, 25) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > timeout) {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: ui_robot OUT_PREFIX ANSWERS TIMEOUT_SECONDS PROGRAM "
                             "[ARGUMENTS...]\n");
        return 2;
    }
    const std::string prefix = argv[1];
    const std::vector<int> answers = ParseAnswers(argv[2]);
    const DWORD timeout = static_cast<DWORD>(std::atoi(argv[3])) * 1000;
    const char* gate = std::getenv("UI_ROBOT_GATE");
    std::string commandLine = std::string("\"") + argv[4] + "\"";
    for (int i = 5; i < argc; ++i) {
        commandLine += std::string(" ") + argv[i];
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        std::fprintf(stderr, "ui_robot: cannot start %s\n", argv[4]);
        return 2;
    }
    CloseHandle(started.hThread);
    const OwnedHandle process(started.hProcess);

    const DWORD start = GetTickCount();
    std::size_t answered = 0;
    int result = 0;
    while (WaitForSingleObject(process.get(), 25) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > timeout) {
            std::fprintf(stderr, "ui_robot: time-out\n");
            TerminateProcess(process.get(), 1);
            result = 3;
            break;
        }
        const HWND dialog = FindProcessDialog(started.dwProcessId);
        if (dialog == nullptr) {
            continue;
        }
        const std::string name = prefix + "-" + std::to_string(answered + 1);
        Record(dialog, name);
        if (answered >= answers.size()) {
            std::fprintf(stderr, "ui_robot: a window more than answers\n");
            TerminateProcess(process.get(), 1);
            result = 4;
            break;
        }
        if (answered == 0 && gate != nullptr && *gate != '\0') {
            if (!WaitForGate(gate, process.get(), start, timeout)) {
                std::fprintf(stderr, "ui_robot: time-out before %s appeared\n", gate);
                TerminateProcess(process.get(), 1);
                result = 3;
                break;
            }
            if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
                continue; // ended (or was ended) with its window unanswered
            }
        }
        HWND button = GetDlgItem(dialog, answers[answered]);
        if (button == nullptr) {
            std::fprintf(stderr, "ui_robot: no button %d\n", answers[answered]);
            TerminateProcess(process.get(), 1);
            result = 4;
            break;
        }
        SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_BLOCK, 5000, nullptr);
        ++answered;
        // Wait for the window to go before looking for the next one.
        while (IsWindow(dialog) && IsWindowVisible(dialog) && GetTickCount() - start <= timeout) {
            Sleep(25);
        }
    }
    const bool ended = WaitForSingleObject(process.get(), 5000) == WAIT_OBJECT_0;
    // A program the robot ended has no exit code of its own to report.
    DWORD exitCode = 0;
    if (result == 0 && ended && GetExitCodeProcess(process.get(), &exitCode)) {
        if (std::FILE* out = std::fopen((prefix + ".exit").c_str(), "wb")) {
            std::fprintf(out, "%lu\n", exitCode);
            std::fclose(out);
        }
    }
    if (result == 0 && answered != answers.size()) {
        std::fprintf(stderr, "ui_robot: %zu of %zu answers used\n", answered, answers.size());
        result = 5;
    }
    return result;
}
