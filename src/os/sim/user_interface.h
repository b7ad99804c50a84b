// The simulated machine's user interface: windows and modal dialogs built from the program's
// compiled dialog templates, the predefined control classes the launcher uses (button, static,
// list view), GDI objects and cursors (counted, so tests can prove they are released), the
// shell's open requests, and a scripted user who answers dialogs.
#pragma once

#include "os/sim/resources.h"
#include "os/sim/sim_api.h"

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct SimWindow {
    std::string className;
    std::string text;
    DWORD style = 0;
    DWORD exStyle = 0;
    int id = 0;
    RECT rect{};       // in the parent's client coordinates, pixels
    RECT clientRect{}; // pixels, origin 0,0
    SimWindow* parent = nullptr;
    std::vector<SimWindow*> children;
    WNDPROC proc = nullptr;
    std::map<int, LONG_PTR> longs;
    HFONT font = nullptr;
    bool destroyed = false;
    // Dialogs
    DLGPROC dialogProc = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    // List views
    struct Column {
        std::string heading;
        int width = 0;
        int format = 0;
    };
    std::vector<Column> columns;
    std::vector<std::vector<std::string>> rows;
};

struct SimGdiObject {
    enum class Kind { Brush, Font } kind;
    COLORREF color = 0;
    LOGFONTA font{};
    bool system = false; // made by the window system itself, not by the program
};

struct SimDC {
    HGDIOBJ font = nullptr;
    COLORREF textColor = 0;
    int bkMode = OPAQUE;
};

struct SimCursor {
    std::string name;
    bool shared = true;
};

struct SimModule {
    std::string path;
};

namespace sim {

enum class UserAction { Yes, No, Escape, Enter, ClickLink };

// How a control looked when a dialog was first shown.
struct ControlSnapshot {
    int id = 0;
    std::string className;
    std::string text;
    DWORD style = 0;
    RECT clientRect{};
    std::vector<SimWindow::Column> columns;
    std::vector<std::vector<std::string>> rows;
    // What the first painting of a static control used, when its parent answered the colour
    // message with a brush (copied: the objects themselves are gone with the dialog).
    struct Paint {
        std::optional<LOGFONTA> font;
        COLORREF textColor = 0;
        int bkMode = OPAQUE;
        COLORREF brushColor = 0;
    };
    std::optional<Paint> paint;
};

struct DialogSnapshot {
    std::string caption;
    DWORD style = 0;
    int focusId = 0;
    int defaultId = 0;
    std::vector<ControlSnapshot> controls;

    const ControlSnapshot* Control(int id) const;
};

struct ShellRequest {
    std::optional<std::string> verb; // nullopt: the default action
    std::string file;
    std::optional<std::string> parameters;
    std::optional<std::string> directory;
    int show = 0;
};

class UserInterface {
public:
    UserInterface();
    ~UserInterface();
    UserInterface(const UserInterface&) = delete;
    UserInterface& operator=(const UserInterface&) = delete;

    // Setting the machine up.
    void LoadResources(std::string_view resFile) { m_resources.Load(resFile); }
    const ResourceSet& Resources() const { return m_resources; }
    // The user's answers to the dialogs, in order; a dialog left without one ends with -1.
    void Script(std::vector<UserAction> actions) { m_script = std::move(actions); }
    // Dialog units to pixels, as the dialog font gives them (4 horizontal, 8 vertical units
    // per base unit).
    void SetDialogBaseUnits(int x, int y);
    // A control of the next dialogs whose client area is this size instead.
    void SetControlClientSize(int id, int cx, int cy);
    // A program file with a cursor resource, for LoadLibraryA and LoadCursorA.
    void AddModuleCursor(const std::string& modulePath, int cursorId);
    void SetColor(int index, COLORREF color) { m_colors[index] = color; }

    // What happened.
    const std::vector<DialogSnapshot>& Dialogs() const { return m_dialogs; }
    const std::vector<ShellRequest>& ShellRequests() const { return m_shellRequests; }
    HCURSOR CurrentCursor() const { return m_currentCursor; }
    // The name of the cursor last set ("hand", "arrow", "copy of ..."), kept after it is gone.
    const std::string& CurrentCursorName() const { return m_currentCursorName; }
    std::size_t LiveGdiObjects() const;
    std::size_t LiveOwnCursors() const;
    std::size_t LoadedModules() const { return m_modules.size(); }
    HCURSOR SharedCursor(const std::string& name);

    // For the simulated calls.
    INT_PTR RunDialog(WORD templateId, HWND parent, DLGPROC proc, LPARAM param);
    HWND Valid(HWND window) const;
    HGDIOBJ NewGdiObject(SimGdiObject object);
    bool DeleteGdiObject(HGDIOBJ object);
    bool IsGdiObject(HGDIOBJ object) const { return m_gdiObjects.count(object) != 0; }
    HCURSOR NewOwnCursor(const std::string& name);
    bool DestroyOwnCursor(HCURSOR cursor);
    bool IsCursor(HCURSOR cursor) const;
    void SetCurrentCursor(HCURSOR cursor) {
        m_currentCursor = cursor;
        m_currentCursorName = cursor != nullptr ? cursor->name : "";
    }
    HMODULE LoadModule(const std::string& path);
    bool FreeModule(HMODULE module);
    std::optional<int> ModuleCursor(HMODULE module, int id) const;
    COLORREF Color(int index) const;
    void RecordShellRequest(ShellRequest request) { m_shellRequests.push_back(std::move(request)); }

private:
    SimWindow* CreateWindowObject();
    void Snapshot(SimWindow* dialog, int focusId,
                  const std::map<int, ControlSnapshot::Paint>& paints);
    void Perform(SimWindow* dialog, UserAction action);
    void Destroy(SimWindow* window);

    ResourceSet m_resources;
    std::vector<UserAction> m_script;
    int m_baseX = 8;
    int m_baseY = 16;
    std::map<int, std::pair<int, int>> m_clientSizes;
    std::map<std::string, std::set<int>> m_moduleCursors;
    std::map<int, COLORREF> m_colors;
    std::vector<std::unique_ptr<SimWindow>> m_windows;
    std::map<HGDIOBJ, std::unique_ptr<SimGdiObject>> m_gdiObjects;
    std::map<std::string, std::unique_ptr<SimCursor>> m_sharedCursors;
    std::map<HCURSOR, std::unique_ptr<SimCursor>> m_ownCursors;
    std::map<HMODULE, std::unique_ptr<SimModule>> m_modules;
    HCURSOR m_currentCursor = nullptr;
    std::string m_currentCursorName;
    std::vector<DialogSnapshot> m_dialogs;
    std::vector<ShellRequest> m_shellRequests;
};

} // namespace sim
