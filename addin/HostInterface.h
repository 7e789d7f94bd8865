// The host IDE's add-in interface: what the add-in calls on the host and what the host
// calls on the add-in. The host implements TIToolServices, TIMainMenuIntf and
// TIMenuItemIntf; the add-in implements TIExpert. Every call arrives on the UI thread.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace ui {
class ModalInteraction;
}

// Base of every host object. Interfaces handed out by the host are owned by the caller,
// whose use ends when it destroys them (Free); the host object behind them lives on.
class TInterface {
public:
    TInterface() = default;
    virtual ~TInterface() = default;
    TInterface(const TInterface&) = delete;
    TInterface& operator=(const TInterface&) = delete;
    // Version of the interface.
    virtual int GetVersion() { return 3; }
};

class TIMenuItemIntf;
// A click handler: receives the chosen entry.
using TIMenuClickEvent = std::function<void(TIMenuItemIntf&)>;

// Menu item flags.
enum TIMenuFlag : int { mfInvalid = 0, mfEnabled = 2, mfVisible = 4, mfChecked = 8 };
inline constexpr int DefaultMenuFlags = mfEnabled | mfVisible; // 6

// One entry of the host's menu (a menu-bar menu, a command, a sub-menu or a separator).
class TIMenuItemIntf : public TInterface {
public:
    // Creates a sub-entry before the sub-entry at index (index == count appends) and returns
    // it. Caption "-" makes a separator. shortCut, context and groupIndex are always 0, hint
    // is always empty.
    virtual std::unique_ptr<TIMenuItemIntf> MenuInsertItem(int index, const std::string& caption,
                                                           const std::string& name,
                                                           const std::string& hint, int shortCut,
                                                           int context, int groupIndex, int flags,
                                                           TIMenuClickEvent onClick) = 0;
    // This entry's position among its parent's sub-entries.
    virtual int MenuGetIndex() = 0;
    // Number of sub-entries.
    virtual int MenuGetItemCount() = 0;
    // Sub-entry at 0-based position index; nullptr outside the range.
    virtual std::unique_ptr<TIMenuItemIntf> MenuGetItem(int index) = 0;
    // The name given at insertion.
    virtual std::string MenuGetName() = 0;
    // The caption.
    virtual std::string MenuGetCaption() = 0;
    // Removes the entry with its sub-entries from the menu. This interface stays valid to
    // destroy but refers to nothing afterwards.
    virtual bool MenuDestroyItem() = 0;
};

// The host's main menu.
class TIMainMenuIntf : public TInterface {
public:
    // The menu bar; its sub-entries are the top-level menus.
    virtual std::unique_ptr<TIMenuItemIntf> MainMenuGetItems() = 0;
    // The entry of that name anywhere in the main menu; nullptr when there is none.
    virtual std::unique_ptr<TIMenuItemIntf> MainMenuFindItem(const std::string& name) = 0;
};

// The host's tool services (the global ToolServices).
class TIToolServices : public TInterface {
public:
    virtual std::unique_ptr<TIMainMenuIntf> HostGetMainMenu() = 0;
    // File name of the current project, or empty when there is none.
    virtual std::string HostGetProjectName() = 0;
    // File name shown in the active editor, or empty when there is none.
    virtual std::string HostGetCurrentFile() = 0;
    // True when the file is open in the IDE.
    virtual bool HostIsFileOpen(const std::string& fileName) = 0;
    // Opens the file as the IDE's project.
    virtual bool HostOpenProject(const std::string& fileName) = 0;
    // Opens the file in the IDE.
    virtual bool HostOpenFile(const std::string& fileName) = 0;
};

// An expert: an add-in the host owns and destroys when the package is unloaded.
class TIExpert : public TInterface {
public:
    virtual std::string GetName() = 0;
    virtual std::string GetAuthor() = 0;
    virtual std::string GetComment() = 0;
    virtual std::string GetPage() = 0;
    virtual int GetGlyph() = 0;
    virtual int GetStyle() = 0;
    virtual int GetState() = 0;
    virtual std::string GetIDString() = 0;
    virtual std::string GetMenuText() = 0;
    virtual void Execute() = 0;
};

// Expert styles and states.
inline constexpr int esAddIn = 3;
inline constexpr int esEnabled = 1;

// What the host hands a package when it loads it (the argument of Initialize).
struct TPackageHost {
    TIToolServices* toolServices = nullptr;
    // Takes ownership of the expert; the host destroys it before calling Finalize.
    void (*registerLibraryExpert)(void* context, TIExpert* expert) = nullptr;
    void* context = nullptr;
    // The modal-interaction seam the package uses (the host's own); nullptr: Qt's default.
    ui::ModalInteraction* modal = nullptr;
};

// The host's tool services, set while the package is initialised; nullptr otherwise.
extern TIToolServices* ToolServices;
// Hands an expert to the host, which owns it from then on.
void RegisterLibraryExpert(TIExpert* expert);
// Binds the two above to a host (nullptr unbinds). Called by the package's Initialize.
void BindPackageHost(const TPackageHost* host);
