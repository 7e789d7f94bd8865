// The IDE shell's main window: the host's menu bar, read-only editor tabs and a current
// project; and the tool services the add-in calls on it.
#pragma once

#include "HostInterface.h"
#include "Modal.h"

#include <QMainWindow>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QTabWidget;

class IdeWindow : public QMainWindow {
public:
    explicit IdeWindow(QWidget* parent = nullptr);

    // Makes the file the current project and shows it; false when it cannot be read.
    bool OpenProject(const QString& fileName);
    // Shows the file read-only in a tab (or activates its tab); false when it cannot be read.
    bool OpenFile(const QString& fileName);
    // True when the file is shown in a tab.
    bool IsFileOpen(const QString& fileName) const;
    // The current project's file name; empty when there is none.
    QString ProjectName() const { return FProject; }
    // The file of the active tab; empty when there is none.
    QString CurrentFile() const;
    // Closes the active tab.
    void CloseCurrentFile();
    QTabWidget* Tabs() const { return FTabs; }

private:
    void OpenProjectClick();
    void OpenFileClick();
    int TabOf(const QString& fileName) const;
    void UpdateTitle();

    QTabWidget* FTabs;
    QString FProject;
    QLabel* FProjectLabel;
    ui::OpenDialogState FOpenProjectDialog;
    ui::OpenDialogState FOpenFileDialog;
};

// The host's tool services over an IdeWindow.
class QtToolServices : public TIToolServices {
public:
    explicit QtToolServices(IdeWindow& window) : FWindow(window) {}
    std::unique_ptr<TIMainMenuIntf> HostGetMainMenu() override;
    std::string HostGetProjectName() override;
    std::string HostGetCurrentFile() override;
    bool HostIsFileOpen(const std::string& fileName) override;
    bool HostOpenProject(const std::string& fileName) override;
    bool HostOpenFile(const std::string& fileName) override;

private:
    IdeWindow& FWindow;
};

// The shell's title, followed by the project's file name when there is one.
inline constexpr const char* IdeShellTitle = "IDE Shell";
