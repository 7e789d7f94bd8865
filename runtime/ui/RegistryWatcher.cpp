#include "RegistryWatcher.h"

#include "Registry.h"

#ifdef _WIN32
#include <QWinEventNotifier>
#include <windows.h>
#else
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#endif

namespace ui {

#ifdef _WIN32

struct RegistryWatcher::Impl {
    HKEY Key = nullptr;
    HANDLE Event = nullptr;
    std::unique_ptr<QWinEventNotifier> Notifier;

    // Asks for the next change of the key's values; the event is set when it comes.
    void Arm() {
        if (Key)
            RegNotifyChangeKeyValue(Key, FALSE, REG_NOTIFY_CHANGE_LAST_SET, Event, TRUE);
    }
    ~Impl() {
        Notifier.reset();
        if (Key)
            RegCloseKey(Key);
        if (Event)
            CloseHandle(Event);
    }
};

RegistryWatcher::RegistryWatcher(const std::string& keyPath, QObject* parent)
    : QObject(parent), FImpl(std::make_unique<Impl>()) {
    const std::string sub = RegistrySubKey(keyPath);
    // Opening a key makes it when missing, as every open of the registry stand-in does here.
    if (RegCreateKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_NOTIFY, nullptr, &FImpl->Key, nullptr) != ERROR_SUCCESS)
        FImpl->Key = nullptr;
    FImpl->Event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (FImpl->Key && FImpl->Event) {
        FImpl->Notifier = std::make_unique<QWinEventNotifier>(FImpl->Event);
        connect(FImpl->Notifier.get(), &QWinEventNotifier::activated, this, [this] {
            FImpl->Arm();
            Notify();
        });
        FImpl->Arm();
    }
    FBurst.setSingleShot(true);
    FBurst.setInterval(DefaultDelay);
    connect(&FBurst, &QTimer::timeout, this, &RegistryWatcher::Deliver);
}

#else

struct RegistryWatcher::Impl {
    QString File;
    QString Folder; // the registry file's folder, or its nearest ancestor that exists
    QFileSystemWatcher Watcher;

    // Watches the file, which every save replaces by a new one, and the folder, which tells
    // when a missing file appears; called again after each notification.
    void Arm() {
        if (QFileInfo::exists(File) && !Watcher.files().contains(File))
            Watcher.addPath(File);
        QString folder = QFileInfo(File).absolutePath();
        while (!QFileInfo::exists(folder)) {
            const QString up = QFileInfo(folder).absolutePath();
            if (up == folder)
                break;
            folder = up;
        }
        if (folder != Folder && !Folder.isEmpty())
            Watcher.removePath(Folder);
        Folder = folder;
        if (!Watcher.directories().contains(Folder))
            Watcher.addPath(Folder);
    }
};

RegistryWatcher::RegistryWatcher(const std::string&, QObject* parent)
    : QObject(parent), FImpl(std::make_unique<Impl>()) {
    FImpl->File = QFileInfo(QString::fromStdString(RegistryFile())).absoluteFilePath();
    const auto changed = [this] {
        FImpl->Arm();
        Notify();
    };
    connect(&FImpl->Watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&FImpl->Watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    FImpl->Arm();
    FBurst.setSingleShot(true);
    FBurst.setInterval(DefaultDelay);
    connect(&FBurst, &QTimer::timeout, this, &RegistryWatcher::Deliver);
}

#endif

RegistryWatcher::~RegistryWatcher() = default;

void RegistryWatcher::SetDelay(std::chrono::milliseconds delay) {
    FBurst.setInterval(delay);
}

void RegistryWatcher::Notify() {
    // Not restarted by later notifications: a stream of changes is still told every delay.
    if (!FBurst.isActive())
        FBurst.start();
}

void RegistryWatcher::Deliver() {
    ++FDeliveries;
    if (FOnChanged)
        FOnChanged();
}

} // namespace ui
