// Simulated GDI objects and device-context state.
#include "os/sim/machine.h"

#include <cstring>

namespace {
sim::UserInterface& Ui() {
    return sim::Machine::Current().Ui();
}
} // namespace

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    return Ui().NewGdiObject(SimGdiObject{SimGdiObject::Kind::Brush, color, {}, false});
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
    if (lplf == nullptr) {
        return nullptr;
    }
    return Ui().NewGdiObject(SimGdiObject{SimGdiObject::Kind::Font, 0, *lplf, false});
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    return Ui().DeleteGdiObject(ho) ? TRUE : FALSE;
}

int WINAPI GetObjectA(HGDIOBJ h, int c, LPVOID pv) {
    if (!Ui().IsGdiObject(h)) {
        return 0;
    }
    if (h->kind == SimGdiObject::Kind::Font) {
        if (pv == nullptr) {
            return static_cast<int>(sizeof(LOGFONTA));
        }
        const int copied = std::min<int>(c, static_cast<int>(sizeof(LOGFONTA)));
        std::memcpy(pv, &h->font, static_cast<std::size_t>(copied));
        return copied;
    }
    return 0;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    if (hdc == nullptr || !Ui().IsGdiObject(h)) {
        return nullptr;
    }
    const HGDIOBJ previous = hdc->font;
    hdc->font = h;
    return previous;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    const COLORREF previous = hdc->textColor;
    hdc->textColor = color;
    return previous;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
    const int previous = hdc->bkMode;
    hdc->bkMode = mode;
    return previous;
}
