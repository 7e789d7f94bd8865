// A host double for the add-in: an in-memory menu tree behind the host's menu interfaces,
// and tool services that record what the add-in asks the host to open.
#pragma once

#include "HostInterface.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

struct FakeMenuNode {
    std::string name;
    std::string caption;
    int flags = 0;
    TIMenuClickEvent onClick;
    FakeMenuNode* parent = nullptr;
    std::vector<std::shared_ptr<FakeMenuNode>> children;
};

class FakeMenuItem : public TIMenuItemIntf {
public:
    explicit FakeMenuItem(std::weak_ptr<FakeMenuNode> node) : FNode(std::move(node)) {}
    std::unique_ptr<TIMenuItemIntf> MenuInsertItem(int index, const std::string& caption,
                                                   const std::string& name, const std::string& hint,
                                                   int shortCut, int context, int groupIndex,
                                                   int flags, TIMenuClickEvent onClick) override;
    int MenuGetIndex() override;
    int MenuGetItemCount() override;
    std::unique_ptr<TIMenuItemIntf> MenuGetItem(int index) override;
    std::string MenuGetName() override;
    std::string MenuGetCaption() override;
    bool MenuDestroyItem() override;

private:
    std::weak_ptr<FakeMenuNode> FNode;
};

class RecordingHost : public TIToolServices, public TIMainMenuIntf {
public:
    struct Open {
        enum Kind { Project, File } kind;
        std::string fileName;
        bool operator==(const Open&) const = default;
    };

    // A menu bar with the host's menus (File, Edit, Search, View, Help).
    RecordingHost();

    std::unique_ptr<TIMainMenuIntf> HostGetMainMenu() override;
    std::string HostGetProjectName() override { return project; }
    std::string HostGetCurrentFile() override { return currentFile; }
    bool HostIsFileOpen(const std::string& fileName) override {
        return openFiles.count(fileName) > 0;
    }
    bool HostOpenProject(const std::string& fileName) override;
    bool HostOpenFile(const std::string& fileName) override;

    std::unique_ptr<TIMenuItemIntf> MainMenuGetItems() override;
    std::unique_ptr<TIMenuItemIntf> MainMenuFindItem(const std::string& name) override;

    // The node of that name anywhere in the tree; nullptr when there is none.
    std::shared_ptr<FakeMenuNode> Find(const std::string& name) const;
    // Clicks the entry of that name as the host would; false when it has no handler.
    bool Click(const std::string& name);
    // The tree below node: "name\tcaption" lines, two spaces of indentation per level.
    static std::string Dump(const FakeMenuNode& node, int level = 0);
    // Names of the top-level menus, in order.
    std::vector<std::string> TopLevelNames() const;

    std::shared_ptr<FakeMenuNode> bar;
    std::vector<Open> opens;
    std::set<std::string> openFiles;
    std::string project;
    std::string currentFile;
    // Number of interfaces handed out by HostGetMainMenu and not yet freed.
    int liveMainMenus = 0;
};

// The main-menu interface handed out by RecordingHost; counts its lifetime.
class RecordingMainMenu : public TIMainMenuIntf {
public:
    explicit RecordingMainMenu(RecordingHost& host) : FHost(host) { ++FHost.liveMainMenus; }
    ~RecordingMainMenu() override { --FHost.liveMainMenus; }
    std::unique_ptr<TIMenuItemIntf> MainMenuGetItems() override { return FHost.MainMenuGetItems(); }
    std::unique_ptr<TIMenuItemIntf> MainMenuFindItem(const std::string& name) override {
        return FHost.MainMenuFindItem(name);
    }

private:
    RecordingHost& FHost;
};
