#include "RecordingHost.h"

#include <algorithm>
#include <stdexcept>

std::unique_ptr<TIMenuItemIntf> FakeMenuItem::MenuInsertItem(int index, const std::string& caption,
                                                             const std::string& name,
                                                             const std::string&, int, int, int,
                                                             int flags, TIMenuClickEvent onClick) {
    const auto node = FNode.lock();
    if (!node)
        throw std::logic_error("insert into a destroyed entry");
    if (index < 0 || index > static_cast<int>(node->children.size()))
        throw std::out_of_range("insert index " + std::to_string(index));
    auto child = std::make_shared<FakeMenuNode>();
    child->name = name;
    child->caption = caption;
    child->flags = flags;
    child->onClick = std::move(onClick);
    child->parent = node.get();
    node->children.insert(node->children.begin() + index, child);
    return std::make_unique<FakeMenuItem>(child);
}

int FakeMenuItem::MenuGetIndex() {
    const auto node = FNode.lock();
    if (!node || !node->parent)
        return -1;
    const auto& siblings = node->parent->children;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), node) - siblings.begin());
}

int FakeMenuItem::MenuGetItemCount() {
    const auto node = FNode.lock();
    return node ? static_cast<int>(node->children.size()) : 0;
}

std::unique_ptr<TIMenuItemIntf> FakeMenuItem::MenuGetItem(int index) {
    const auto node = FNode.lock();
    if (!node || index < 0 || index >= static_cast<int>(node->children.size()))
        return nullptr;
    return std::make_unique<FakeMenuItem>(node->children[index]);
}

std::string FakeMenuItem::MenuGetName() {
    const auto node = FNode.lock();
    return node ? node->name : std::string();
}

std::string FakeMenuItem::MenuGetCaption() {
    const auto node = FNode.lock();
    return node ? node->caption : std::string();
}

bool FakeMenuItem::MenuDestroyItem() {
    const auto node = FNode.lock();
    if (!node || !node->parent)
        return false;
    auto& siblings = node->parent->children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    node->parent = nullptr;
    return true;
}

RecordingHost::RecordingHost() : bar(std::make_shared<FakeMenuNode>()) {
    bar->name = "MainMenu";
    for (const char* name : {"FileMenu", "EditMenu", "SearchMenu", "ViewMenu", "HelpMenu"}) {
        auto menu = std::make_shared<FakeMenuNode>();
        menu->name = name;
        menu->caption = std::string("&") + name;
        menu->parent = bar.get();
        bar->children.push_back(menu);
    }
}

std::unique_ptr<TIMainMenuIntf> RecordingHost::HostGetMainMenu() {
    return std::make_unique<RecordingMainMenu>(*this);
}

bool RecordingHost::HostOpenProject(const std::string& fileName) {
    opens.push_back({Open::Project, fileName});
    project = fileName;
    openFiles.insert(fileName);
    return true;
}

bool RecordingHost::HostOpenFile(const std::string& fileName) {
    opens.push_back({Open::File, fileName});
    openFiles.insert(fileName);
    currentFile = fileName;
    return true;
}

std::unique_ptr<TIMenuItemIntf> RecordingHost::MainMenuGetItems() {
    return std::make_unique<FakeMenuItem>(bar);
}

std::unique_ptr<TIMenuItemIntf> RecordingHost::MainMenuFindItem(const std::string& name) {
    const auto node = Find(name);
    return node ? std::make_unique<FakeMenuItem>(node) : nullptr;
}

namespace {
std::shared_ptr<FakeMenuNode> FindBelow(const std::shared_ptr<FakeMenuNode>& node,
                                        const std::string& name) {
    for (const auto& child : node->children) {
        if (child->name == name)
            return child;
        if (auto found = FindBelow(child, name))
            return found;
    }
    return nullptr;
}
} // namespace

std::shared_ptr<FakeMenuNode> RecordingHost::Find(const std::string& name) const {
    return FindBelow(bar, name);
}

bool RecordingHost::Click(const std::string& name) {
    const auto node = Find(name);
    if (!node || !node->onClick)
        return false;
    FakeMenuItem item(node);
    node->onClick(item);
    return true;
}

std::string RecordingHost::Dump(const FakeMenuNode& node, int level) {
    std::string out;
    for (const auto& child : node.children) {
        out += std::string(static_cast<size_t>(level) * 2, ' ') + child->name + "\t" +
               child->caption + "\n";
        out += Dump(*child, level + 1);
    }
    return out;
}

std::vector<std::string> RecordingHost::TopLevelNames() const {
    std::vector<std::string> names;
    for (const auto& child : bar->children)
        names.push_back(child->name);
    return names;
}
