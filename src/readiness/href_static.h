// A static text control drawn as a link: blue, underlined, a hand cursor, and a click opens
// its own text with the shell when it is a web or e-mail address (link_address.h).
#pragma once

#include "framework/wnd.h"

class CHrefStatic : public CStatic {
public:
    CHrefStatic();
    ~CHrefStatic() override;

    HBRUSH CtlColor(HDC dc, UINT ctlColor) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OpenLink();

    HFONT m_hLinkFont = nullptr; // the control's font underlined, made when first drawn
    HBRUSH m_hBackground = nullptr;
    HCURSOR m_hCursor = nullptr;
    bool m_bOwnCursor = false;
};
