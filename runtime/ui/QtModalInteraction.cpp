#include "QtModalInteraction.h"

#include "FolderChooser.h"
#include "Paths.h"
#include "TextBytes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QUrl>

#include <functional>
#include <utility>

namespace ui {

namespace {

// Runs an action on a widget the moment it is shown, before it is mapped on screen.
class ShowHook : public QObject {
public:
    explicit ShowHook(std::function<void(QWidget&)> action) : action_(std::move(action)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType())
            action_(*static_cast<QWidget*>(watched));
        return false;
    }

private:
    std::function<void(QWidget&)> action_;
};

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

// The folder a text names, as Qt can open it. The text carries a record's bytes (see
// TextBytes.h): the folder they name when Qt can reach it, else the same name read as
// Windows-1252 text, as a folder copied from Windows is called here; empty when neither exists.
QString OpenableFolder(const QString& text) {
    const std::string bytes = BytesFromQString(text);
    if (bytes.empty())
        return {};
    const QString exact = QFile::decodeName(QByteArray::fromStdString(bytes));
    if (QFile::encodeName(exact).toStdString() == bytes && DirectoryExists(bytes))
        return exact;
    const QString readable = ReadableText(text);
    if (readable != text && DirectoryExists(readable.toStdString()))
        return readable;
    return {};
}

// Starts the dialog where the runtime's dialog would: a proposed name with an existing folder
// opens in that folder with the name filled in, otherwise the initial folder is used.
void PlaceOpenDialog(QFileDialog& dialog, const OpenDialogState& state) {
    const std::string proposed = BytesFromQString(state.fileName);
    const QString folder = OpenableFolder(QStringFromBytes(ExtractFilePath(proposed)));
    if (!folder.isEmpty()) {
        dialog.setDirectory(folder);
        dialog.selectFile(ReadableText(QStringFromBytes(ExtractFileName(proposed))));
        return;
    }
    if (const QString initial = OpenableFolder(state.initialDir); !initial.isEmpty())
        dialog.setDirectory(initial);
    if (!state.fileName.isEmpty())
        dialog.selectFile(ReadableText(state.fileName));
}

// 1-based index of the selected name filter, 0 when none. With the details hidden Qt reports
// the label alone, the name filter without its last " (masks)".
int FilterIndexOf(const QStringList& filters, const QString& selected) {
    for (qsizetype i = 0; i < filters.size(); ++i) {
        const QString& filter = filters.at(i);
        if (filter == selected || filter.left(filter.lastIndexOf(u" (")).trimmed() == selected)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

} // namespace

int QtModalInteraction::ShowModal(QDialog& dialog) {
    const int result = dialog.exec();
    return result == QDialog::Rejected ? mrCancel : result;
}

void QtModalInteraction::ErrorBox(QWidget* parent, const QString& text, int /*helpContext*/) {
    // The help context only serves F1 on the runtime's box; no caller here passes one. The
    // runtime titles its error boxes "Error", not after the program.
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok, parent);
    ShowModal(box);
}

bool QtModalInteraction::OpenFile(QWidget* parent, OpenDialogState& state) {
    QFileDialog dialog(parent);
    // Qt's own dialog shows the runtime's filter labels as they stand, on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setWindowTitle(state.title.isEmpty() ? QStringLiteral("Open") : state.title);
    if (state.options.allowMultiSelect)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else
        dialog.setFileMode(state.options.fileMustExist ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);

    const QStringList filters = ToNameFilters(state.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const bool inRange = state.filterIndex >= 1 && state.filterIndex <= filters.size();
        dialog.selectNameFilter(filters.at(inRange ? state.filterIndex - 1 : 0));
    }
    PlaceOpenDialog(dialog, state);

    dialog.setSizeGripEnabled(state.options.enableSizing);
    ShowHook fixSize([&](QWidget& shown) {
        if (!state.options.enableSizing)
            shown.setFixedSize(shown.size());
    });
    dialog.installEventFilter(&fixSize);

    const bool accepted = ShowModal(dialog) == mrOk;
    // The filter the user left is kept, also when the dialog was cancelled.
    if (const int index = FilterIndexOf(filters, dialog.selectedNameFilter()); index > 0)
        state.filterIndex = index;
    if (!accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    state.files.clear();
    for (const QString& file : chosen)
        state.files << QDir::toNativeSeparators(file);
    state.fileName = state.files.first();
    return true;
}

bool QtModalInteraction::BrowseFolder(QString& folder, const QString& prompt) {
    const QPointer<QWidget> previouslyActive = QApplication::activeWindow();

    // Qt's own dialog, not the desktop's, so that it can be placed where the chooser belongs.
    QFileDialog dialog(nullptr, QStringLiteral("Browse for Folder"));
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Every other window of the application is blocked while the chooser is open.
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setLabelText(QFileDialog::LookIn, prompt);
    const QString start = OpenableFolder(folder);
    dialog.setDirectory(start.isEmpty() ? QDir::homePath() : start);

    ShowHook place([](QWidget& shown) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            shown.move(FolderChooserPosition(screen->geometry(), shown.frameGeometry().size()));
    });
    dialog.installEventFilter(&place);

    bool chosen = false;
    if (ShowModal(dialog) == mrOk) {
        if (const QStringList selected = dialog.selectedFiles(); !selected.isEmpty()) {
            folder = QDir::toNativeSeparators(selected.first());
            chosen = true;
        }
    }
    if (previouslyActive)
        previouslyActive->activateWindow();
    return chosen;
}

void QtModalInteraction::ShowHelp(const QString& helpFile, int context) {
    const QString topic = HelpTopicPath(helpFile, context, FHelpFolders);
    if (topic.isEmpty()) {
        ErrorBox(
            QApplication::activeWindow(),
            QStringLiteral("Help topic %1 of \"%2\" was not found.").arg(context).arg(helpFile), 0);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(topic)))
        ErrorBox(QApplication::activeWindow(),
                 QStringLiteral("Could not open the help topic \"%1\".").arg(topic), 0);
}

bool QtModalInteraction::StartProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

QStringList ToNameFilters(const QString& filter) {
    QStringList result;
    if (filter.isEmpty())
        return result;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList masks;
        for (const QString& mask : parts.at(i + 1).split(u';', Qt::SkipEmptyParts)) {
            const QString trimmed = mask.trimmed();
            if (trimmed == QLatin1String("*.*"))
                masks << QStringLiteral("*");
            else if (!trimmed.isEmpty())
                masks << trimmed;
        }
        if (masks.isEmpty())
            masks << QStringLiteral("*");
        // Qt takes the masks from the last parentheses; HideNameFilterDetails shows the label.
        result << parts.at(i) + QStringLiteral(" (") + masks.join(u' ') + u')';
    }
    return result;
}

QString HelpTopicPath(const QString& helpFile, int context, const QStringList& folders) {
    QString name = ToQString(ExtractFileName(helpFile.toStdString()));
    if (const qsizetype dot = name.lastIndexOf(u'.'); dot >= 0)
        name.truncate(dot);
    if (name.isEmpty() || context <= 0)
        return {};
    const QString relative =
        name.toLower() + u'/' + QString::number(context) + QStringLiteral(".html");
    for (const QString& folder : folders) {
        const QFileInfo topic(QDir(folder).filePath(relative));
        if (topic.isFile())
            return topic.absoluteFilePath();
    }
    return {};
}

} // namespace ui
