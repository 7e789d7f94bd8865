#include "IdeWindow.h"

#include "QtHostMenu.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>

namespace {

const char* const FilePathProperty = "filePath";

// One spelling per file, so a file opened twice by different paths is found again.
QString NormalPath(const QString& fileName) {
    const QFileInfo info(fileName);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

IdeWindow::IdeWindow(QWidget* parent) : QMainWindow(parent), FTabs(new QTabWidget(this)) {
    setObjectName(QStringLiteral("AppBuilder"));
    resize(900, 600);
    FTabs->setObjectName(QStringLiteral("EditorTabs"));
    FTabs->setDocumentMode(true);
    FTabs->setTabsClosable(true);
    connect(FTabs, &QTabWidget::tabCloseRequested, this, [this](int index) {
        QWidget* page = FTabs->widget(index);
        FTabs->removeTab(index);
        delete page;
    });
    setCentralWidget(FTabs);
    FProjectLabel = new QLabel(this);
    FProjectLabel->setObjectName(QStringLiteral("ProjectLabel"));
    statusBar()->addWidget(FProjectLabel, 1);

    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    // The host's menus, named as the add-in expects them.
    static const struct {
        const char* name;
        const char* caption;
    } Menus[] = {
        {"FileMenu", "&File"},           {"EditMenu", "&Edit"},       {"SearchMenu", "&Search"},
        {"ViewMenu", "&View"},           {"ProjectMenu", "&Project"}, {"RunMenu", "&Run"},
        {"ComponentMenu", "&Component"}, {"ToolsMenu", "&Tools"},     {"HelpMenu", "&Help"},
    };
    for (const auto& m : Menus) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(m.caption));
        menu->setObjectName(QString::fromLatin1(m.name));
        menu->menuAction()->setObjectName(QString::fromLatin1(m.name));
    }

    QMenu* file = bar->findChild<QMenu*>(QStringLiteral("FileMenu"));
    const auto addCommand = [file](const char* name, const char* caption) {
        QAction* action = file->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    connect(addCommand("FileOpenProjectItem", "Open &Project..."), &QAction::triggered, this,
            &IdeWindow::OpenProjectClick);
    connect(addCommand("FileOpenItem", "&Open..."), &QAction::triggered, this,
            &IdeWindow::OpenFileClick);
    connect(addCommand("FileCloseItem", "&Close"), &QAction::triggered, this,
            &IdeWindow::CloseCurrentFile);
    file->addSeparator()->setObjectName(QStringLiteral("FileSep1"));
    connect(addCommand("FileExitItem", "E&xit"), &QAction::triggered, this, &QWidget::close);

    FOpenProjectDialog.title = QStringLiteral("Open Project");
    FOpenProjectDialog.filter =
        QStringLiteral("Delphi project (*.bpg;*.dpr)|*.bpg;*.dpr|Any file (*.*)|*.*");
    FOpenFileDialog.title = QStringLiteral("Open");
    FOpenFileDialog.filter = QStringLiteral(
        "Delphi file (*.pas;*.bpg;*.dpr;*.dpk)|*.pas;*.bpg;*.dpr;*.dpk|Any file (*.*)|*.*");
    FOpenProjectDialog.options.fileMustExist = FOpenFileDialog.options.fileMustExist = true;
    UpdateTitle();
}

bool IdeWindow::OpenProject(const QString& fileName) {
    if (!OpenFile(fileName))
        return false;
    FProject = NormalPath(fileName);
    UpdateTitle();
    return true;
}

bool IdeWindow::OpenFile(const QString& fileName) {
    const QString path = NormalPath(fileName);
    const int existing = TabOf(path);
    if (existing >= 0) {
        FTabs->setCurrentIndex(existing);
        return true;
    }
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    auto* editor = new QPlainTextEdit(FTabs);
    editor->setReadOnly(true);
    editor->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor->setPlainText(QString::fromUtf8(file.readAll()));
    editor->setProperty(FilePathProperty, path);
    const int index = FTabs->addTab(editor, QFileInfo(path).fileName());
    FTabs->setTabToolTip(index, path);
    FTabs->setCurrentIndex(index);
    return true;
}

bool IdeWindow::IsFileOpen(const QString& fileName) const {
    return !fileName.isEmpty() && TabOf(NormalPath(fileName)) >= 0;
}

QString IdeWindow::CurrentFile() const {
    const QWidget* page = FTabs->currentWidget();
    return page ? page->property(FilePathProperty).toString() : QString();
}

void IdeWindow::CloseCurrentFile() {
    const int index = FTabs->currentIndex();
    if (index < 0)
        return;
    QWidget* page = FTabs->widget(index);
    FTabs->removeTab(index);
    delete page;
}

void IdeWindow::OpenProjectClick() {
    if (ui::Modal().OpenFile(this, FOpenProjectDialog) && !OpenProject(FOpenProjectDialog.fileName))
        ui::ShowErrorBox(QStringLiteral("Cannot open \"%1\".").arg(FOpenProjectDialog.fileName));
}

void IdeWindow::OpenFileClick() {
    if (ui::Modal().OpenFile(this, FOpenFileDialog) && !OpenFile(FOpenFileDialog.fileName))
        ui::ShowErrorBox(QStringLiteral("Cannot open \"%1\".").arg(FOpenFileDialog.fileName));
}

int IdeWindow::TabOf(const QString& path) const {
    for (int i = 0; i < FTabs->count(); ++i)
        if (FTabs->widget(i)->property(FilePathProperty).toString() == path)
            return i;
    return -1;
}

void IdeWindow::UpdateTitle() {
    QString title = QString::fromLatin1(IdeShellTitle);
    if (!FProject.isEmpty())
        title += QStringLiteral(" - ") + QFileInfo(FProject).fileName();
    setWindowTitle(title);
    FProjectLabel->setText(
        FProject.isEmpty() ? QStringLiteral("No project")
                           : QStringLiteral("Project: %1").arg(QDir::toNativeSeparators(FProject)));
}

std::unique_ptr<TIMainMenuIntf> QtToolServices::HostGetMainMenu() {
    return std::make_unique<QtMainMenu>(FWindow.menuBar());
}

std::string QtToolServices::HostGetProjectName() {
    return FWindow.ProjectName().toStdString();
}

std::string QtToolServices::HostGetCurrentFile() {
    return FWindow.CurrentFile().toStdString();
}

bool QtToolServices::HostIsFileOpen(const std::string& fileName) {
    return FWindow.IsFileOpen(QString::fromStdString(fileName));
}

bool QtToolServices::HostOpenProject(const std::string& fileName) {
    return FWindow.OpenProject(QString::fromStdString(fileName));
}

bool QtToolServices::HostOpenFile(const std::string& fileName) {
    return FWindow.OpenFile(QString::fromStdString(fileName));
}
