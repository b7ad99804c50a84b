// Waits for a dialog of Setup.exe, takes a picture of it, writes down what it shows, and
// answers it by clicking one of its buttons.
//   usage: dialog_answer OUT_PREFIX BUTTON_ID [TIMEOUT_SECONDS]
// Writes OUT_PREFIX.bmp (the dialog as drawn) and OUT_PREFIX.txt (UTF-8: the caption, then one
// line per control: id, class and text). Exit code 0 when a dialog was found and answered.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD ownProcess;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (std::string(className) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window) &&
        process != search->ownProcess) {
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

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: dialog_answer OUT_PREFIX BUTTON_ID [TIMEOUT_SECONDS]\n");
        return 2;
    }
    const std::string prefix = argv[1];
    const int button = std::atoi(argv[2]);
    const DWORD timeout = (argc > 3 ? static_cast<DWORD>(std::atoi(argv[3])) : 60) * 1000;

    Search search{GetCurrentProcessId(), nullptr};
    const DWORD start = GetTickCount();
    while (search.found == nullptr) {
        if (GetTickCount() - start > timeout) {
            std::fprintf(stderr, "dialog_answer: no dialog within the time limit\n");
            return 3;
        }
        Sleep(25);
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    }
    HWND dialog = search.found;
    // Let the dialog finish its initialisation and its first painting (the first Japanese font
    // takes a while to load) before the picture is taken.
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

    HWND target = GetDlgItem(dialog, button);
    if (target == nullptr) {
        std::fprintf(stderr, "dialog_answer: the dialog has no control %d\n", button);
        return 4;
    }
    SendMessageTimeoutW(target, BM_CLICK, 0, 0, SMTO_BLOCK, 5000, nullptr);
    return 0;
}
