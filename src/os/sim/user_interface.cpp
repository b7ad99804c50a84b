#include "os/sim/user_interface.h"

#include <algorithm>
#include <cstring>
#include <strings.h>
#include <stdexcept>

namespace sim {
namespace {

constexpr WORD kDialogResource = 5; // RT_DIALOG
constexpr LRESULT kHasDefaultId = 0x534B0000;

std::string ListText(LPCSTR text) {
    return text == nullptr ? std::string() : std::string(text);
}

// What every control class does with its text and font.
LRESULT ControlDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlDefault(window, message, wParam, lParam);
}

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ControlDefault(window, message, wParam, lParam);
}

LRESULT CALLBACK ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case LVM_INSERTCOLUMNA: {
        const auto* column = reinterpret_cast<const LVCOLUMNA*>(lParam);
        const auto index = std::min<std::size_t>(wParam, window->columns.size());
        SimWindow::Column added;
        added.heading = (column->mask & LVCF_TEXT) ? ListText(column->pszText) : "";
        added.width = (column->mask & LVCF_WIDTH) ? column->cx : 0;
        added.format = (column->mask & LVCF_FMT) ? column->fmt : 0;
        window->columns.insert(window->columns.begin() + static_cast<long>(index), added);
        for (auto& row : window->rows) {
            row.resize(window->columns.size());
        }
        return static_cast<LRESULT>(index);
    }
    case LVM_GETCOLUMNWIDTH:
        return wParam < window->columns.size() ? window->columns[wParam].width : 0;
    case LVM_DELETEALLITEMS:
        window->rows.clear();
        return TRUE;
    case LVM_GETITEMCOUNT:
        return static_cast<LRESULT>(window->rows.size());
    case LVM_INSERTITEMA: {
        const auto* item = reinterpret_cast<const LVITEMA*>(lParam);
        if (item->iSubItem != 0) {
            return -1;
        }
        const auto index = std::min<std::size_t>(static_cast<std::size_t>(std::max(item->iItem, 0)),
                                                 window->rows.size());
        std::vector<std::string> row(std::max<std::size_t>(window->columns.size(), 1));
        row[0] = (item->mask & LVIF_TEXT) ? ListText(item->pszText) : "";
        window->rows.insert(window->rows.begin() + static_cast<long>(index), row);
        return static_cast<LRESULT>(index);
    }
    case LVM_SETITEMTEXTA: {
        const auto* item = reinterpret_cast<const LVITEMA*>(lParam);
        if (wParam >= window->rows.size() || item->iSubItem < 0) {
            return FALSE;
        }
        auto& row = window->rows[wParam];
        if (static_cast<std::size_t>(item->iSubItem) >= row.size()) {
            row.resize(static_cast<std::size_t>(item->iSubItem) + 1);
        }
        row[static_cast<std::size_t>(item->iSubItem)] = ListText(item->pszText);
        return TRUE;
    }
    default:
        return ControlDefault(window, message, wParam, lParam);
    }
}

// The dialog manager's window procedure: the program's dialog procedure first, then defaults.
LRESULT CALLBACK DialogManagerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const INT_PTR answer =
        window->dialogProc != nullptr ? window->dialogProc(window, message, wParam, lParam) : 0;
    if (message == WM_CTLCOLORSTATIC || message == WM_INITDIALOG) {
        return answer;
    }
    if (answer != 0) {
        return window->longs[DWLP_MSGRESULT];
    }
    if (message == DM_GETDEFID) {
        for (SimWindow* child : window->children) {
            if (child->className == "Button" && (child->style & 0xF) == BS_DEFPUSHBUTTON) {
                return kHasDefaultId | static_cast<WORD>(child->id);
            }
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Class names match without regard to case (windres writes them in capitals); the simulation
// keeps them in one spelling.
std::string CanonicalClass(const std::string& className) {
    for (const char* known : {"Button", "Static", "SysListView32"}) {
        if (strcasecmp(className.c_str(), known) == 0) {
            return known;
        }
    }
    return className;
}

WNDPROC ClassProc(const std::string& className) {
    if (className == "Button") {
        return ButtonProc;
    }
    if (className == "Static") {
        return StaticProc;
    }
    if (className == "SysListView32") {
        return ListViewProc;
    }
    return nullptr;
}

} // namespace

const ControlSnapshot* DialogSnapshot::Control(int id) const {
    for (const ControlSnapshot& control : controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

UserInterface::UserInterface() {
    m_colors[COLOR_BTNFACE] = RGB(0xF0, 0xF0, 0xF0);
}

UserInterface::~UserInterface() = default;

void UserInterface::SetDialogBaseUnits(int x, int y) {
    m_baseX = x;
    m_baseY = y;
}

void UserInterface::SetControlClientSize(int id, int cx, int cy) {
    m_clientSizes[id] = {cx, cy};
}

void UserInterface::AddModuleCursor(const std::string& modulePath, int cursorId) {
    m_moduleCursors[modulePath].insert(cursorId);
}

std::size_t UserInterface::LiveGdiObjects() const {
    return static_cast<std::size_t>(
        std::count_if(m_gdiObjects.begin(), m_gdiObjects.end(),
                      [](auto& entry) { return !entry.second->system; }));
}

std::size_t UserInterface::LiveOwnCursors() const {
    return m_ownCursors.size();
}

HCURSOR UserInterface::SharedCursor(const std::string& name) {
    auto& cursor = m_sharedCursors[name];
    if (!cursor) {
        cursor = std::make_unique<SimCursor>(SimCursor{name, true});
    }
    return cursor.get();
}

bool UserInterface::IsCursor(HCURSOR cursor) const {
    if (m_ownCursors.count(cursor) != 0) {
        return true;
    }
    return std::any_of(m_sharedCursors.begin(), m_sharedCursors.end(),
                       [&](auto& entry) { return entry.second.get() == cursor; });
}

HWND UserInterface::Valid(HWND window) const {
    for (const auto& owned : m_windows) {
        if (owned.get() == window && !window->destroyed) {
            return window;
        }
    }
    return nullptr;
}

HGDIOBJ UserInterface::NewGdiObject(SimGdiObject object) {
    auto owned = std::make_unique<SimGdiObject>(object);
    HGDIOBJ handle = owned.get();
    m_gdiObjects[handle] = std::move(owned);
    return handle;
}

bool UserInterface::DeleteGdiObject(HGDIOBJ object) {
    return m_gdiObjects.erase(object) != 0;
}

HCURSOR UserInterface::NewOwnCursor(const std::string& name) {
    auto owned = std::make_unique<SimCursor>(SimCursor{name, false});
    HCURSOR handle = owned.get();
    m_ownCursors[handle] = std::move(owned);
    return handle;
}

bool UserInterface::DestroyOwnCursor(HCURSOR cursor) {
    return m_ownCursors.erase(cursor) != 0;
}

HMODULE UserInterface::LoadModule(const std::string& path) {
    auto owned = std::make_unique<SimModule>(SimModule{path});
    HMODULE handle = owned.get();
    m_modules[handle] = std::move(owned);
    return handle;
}

bool UserInterface::FreeModule(HMODULE module) {
    return m_modules.erase(module) != 0;
}

std::optional<int> UserInterface::ModuleCursor(HMODULE module, int id) const {
    auto found = m_modules.find(module);
    if (found == m_modules.end()) {
        return std::nullopt;
    }
    for (const auto& [path, ids] : m_moduleCursors) {
        if (strcasecmp(path.c_str(), found->second->path.c_str()) == 0 && ids.count(id) != 0) {
            return id;
        }
    }
    return std::nullopt;
}

COLORREF UserInterface::Color(int index) const {
    auto found = m_colors.find(index);
    return found == m_colors.end() ? 0 : found->second;
}

SimWindow* UserInterface::CreateWindowObject() {
    m_windows.push_back(std::make_unique<SimWindow>());
    return m_windows.back().get();
}

void UserInterface::Destroy(SimWindow* window) {
    for (SimWindow* child : window->children) {
        Destroy(child);
    }
    SendMessageA(window, WM_DESTROY, 0, 0);
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    window->destroyed = true;
}

void UserInterface::Snapshot(SimWindow* dialog, int focusId,
                             const std::map<int, ControlSnapshot::Paint>& paints) {
    DialogSnapshot snapshot;
    snapshot.caption = dialog->text;
    snapshot.style = dialog->style;
    snapshot.focusId = focusId;
    snapshot.defaultId =
        LOWORD(static_cast<std::uintptr_t>(SendMessageA(dialog, DM_GETDEFID, 0, 0)));
    for (SimWindow* child : dialog->children) {
        ControlSnapshot control;
        control.id = child->id;
        control.className = child->className;
        control.text = child->text;
        control.style = child->style;
        control.clientRect = child->clientRect;
        control.columns = child->columns;
        control.rows = child->rows;
        if (auto paint = paints.find(child->id); paint != paints.end()) {
            control.paint = paint->second;
        }
        snapshot.controls.push_back(control);
    }
    m_dialogs.push_back(snapshot);
}

void UserInterface::Perform(SimWindow* dialog, UserAction action) {
    auto command = [&](int id) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    };
    switch (action) {
    case UserAction::Yes:
        command(IDOK);
        break;
    case UserAction::No:
        command(IDCANCEL);
        break;
    case UserAction::Escape:
        // The dialog manager turns Esc into the Cancel command.
        command(IDCANCEL);
        break;
    case UserAction::Enter: {
        const LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        command(HIWORD(static_cast<std::uintptr_t>(defaultId)) == 0x534B
                    ? LOWORD(static_cast<std::uintptr_t>(defaultId))
                    : IDOK);
        break;
    }
    case UserAction::ClickLink:
        for (SimWindow* child : dialog->children) {
            // A static control without the notify style lets clicks through to its parent.
            if (child->className == "Static" && (child->style & SS_NOTIFY)) {
                SendMessageA(child, WM_SETCURSOR, reinterpret_cast<WPARAM>(child),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                SendMessageA(child, WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2));
            }
        }
        break;
    }
}

INT_PTR UserInterface::RunDialog(WORD templateId, HWND parent, DLGPROC proc, LPARAM param) {
    const auto bytes = m_resources.Find(kDialogResource, templateId);
    if (!bytes) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return -1;
    }
    const DialogTemplate dialogTemplate = ParseDialogTemplate(*bytes);
    auto toPixelsX = [&](int units) { return units * m_baseX / 4; };
    auto toPixelsY = [&](int units) { return units * m_baseY / 8; };

    SimWindow* dialog = CreateWindowObject();
    dialog->className = "#32770";
    dialog->text = dialogTemplate.caption;
    dialog->style = dialogTemplate.style;
    dialog->parent = parent;
    dialog->proc = DialogManagerProc;
    dialog->dialogProc = proc;
    dialog->clientRect = {0, 0, toPixelsX(dialogTemplate.cx), toPixelsY(dialogTemplate.cy)};
    LOGFONTA dialogFont{};
    dialogFont.lfHeight = -dialogTemplate.pointSize * 96 / 72;
    dialogFont.lfWeight = dialogTemplate.weight;
    dialogFont.lfCharSet = dialogTemplate.charSet;
    std::snprintf(dialogFont.lfFaceName, sizeof dialogFont.lfFaceName, "%s",
                  dialogTemplate.typeface.c_str());
    SimGdiObject fontObject{SimGdiObject::Kind::Font, 0, dialogFont, true};
    HFONT font = NewGdiObject(fontObject);

    for (const DialogItem& item : dialogTemplate.items) {
        SimWindow* control = CreateWindowObject();
        control->className = CanonicalClass(item.className);
        control->text = item.text;
        control->style = item.style;
        control->exStyle = item.exStyle;
        control->id = static_cast<int>(item.id);
        control->parent = dialog;
        control->proc = ClassProc(control->className);
        control->rect = {toPixelsX(item.x), toPixelsY(item.y), toPixelsX(item.x + item.cx),
                         toPixelsY(item.y + item.cy)};
        // A border is drawn outside the client area.
        const int border = (item.style & WS_BORDER) ? 1 : 0;
        control->clientRect = {0, 0, toPixelsX(item.cx) - 2 * border,
                               toPixelsY(item.cy) - 2 * border};
        if (auto size = m_clientSizes.find(control->id); size != m_clientSizes.end()) {
            control->clientRect = {0, 0, size->second.first, size->second.second};
        }
        if (control->proc == nullptr) {
            throw std::runtime_error("sim: no window class " + item.className);
        }
        dialog->children.push_back(control);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    HWND firstTabStop = nullptr;
    for (SimWindow* child : dialog->children) {
        if (child->style & WS_TABSTOP) {
            firstTabStop = child;
            break;
        }
    }
    int focusId = 0;
    if (SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop), param) &&
        firstTabStop != nullptr) {
        focusId = firstTabStop->id;
    }

    // The first painting: each static control asks its parent for the colours to use.
    std::map<int, ControlSnapshot::Paint> paints;
    for (SimWindow* child : dialog->children) {
        if (child->className != "Static" || dialog->ended) {
            continue;
        }
        SimDC dc;
        dc.font = child->font;
        const LRESULT brush = SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(&dc),
                                           reinterpret_cast<LPARAM>(child));
        if (brush != 0) {
            ControlSnapshot::Paint paint;
            if (IsGdiObject(dc.font) && dc.font->kind == SimGdiObject::Kind::Font) {
                paint.font = dc.font->font;
            }
            paint.textColor = dc.textColor;
            paint.bkMode = dc.bkMode;
            const auto brushObject = reinterpret_cast<HBRUSH>(brush);
            if (IsGdiObject(brushObject)) {
                paint.brushColor = brushObject->color;
            }
            paints[child->id] = paint;
        }
    }
    Snapshot(dialog, focusId, paints);

    while (!dialog->ended && !m_script.empty()) {
        const UserAction action = m_script.front();
        m_script.erase(m_script.begin());
        Perform(dialog, action);
    }
    const INT_PTR result = dialog->ended ? dialog->result : -1;
    Destroy(dialog);
    DeleteGdiObject(font);
    return result;
}

} // namespace sim
