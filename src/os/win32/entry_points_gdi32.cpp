// gdi32.dll entry points the launcher calls.
#include "os/win32/system_library.h"

SETUP_FORWARD(Gdi32, HBRUSH, nullptr, CreateSolidBrush, (COLORREF color), (color))
SETUP_FORWARD(Gdi32, HFONT, nullptr, CreateFontIndirectA, (CONST LOGFONTA * lplf), (lplf))
SETUP_FORWARD(Gdi32, WINBOOL, FALSE, DeleteObject, (HGDIOBJ ho), (ho))
SETUP_FORWARD(Gdi32, int, 0, GetObjectA, (HANDLE h, int c, LPVOID pv), (h, c, pv))
SETUP_FORWARD(Gdi32, HGDIOBJ, nullptr, SelectObject, (HDC hdc, HGDIOBJ h), (hdc, h))
SETUP_FORWARD(Gdi32, COLORREF, CLR_INVALID, SetTextColor, (HDC hdc, COLORREF color), (hdc, color))
SETUP_FORWARD(Gdi32, int, 0, SetBkMode, (HDC hdc, int mode), (hdc, mode))
