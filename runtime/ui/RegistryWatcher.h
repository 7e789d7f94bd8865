// Tells, through Qt's event loop, that a key of HKEY_CURRENT_USER may have changed: off Windows
// a file watch on the registry file and its folder, on Windows the registry's own change
// notification. No thread and no polling: an idle process is never woken by it.
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace ui {

class RegistryWatcher : public QObject {
public:
    // Starts watching the key at keyPath ("\Favorites"); off Windows the registry file that
    // RegistryFile() names now.
    explicit RegistryWatcher(const std::string& keyPath, QObject* parent = nullptr);
    ~RegistryWatcher() override;

    // Called once per burst of changes, DefaultDelay after the first of them: a save of
    // another program (temporary file, rename, backups) makes several notifications.
    void SetOnChanged(std::function<void()> onChanged) { FOnChanged = std::move(onChanged); }
    static constexpr std::chrono::milliseconds DefaultDelay{200};
    void SetDelay(std::chrono::milliseconds delay);

    // What a notification of the system does; the seam through which tests stand in for it.
    void Notify();
    // How many times the change callback has run.
    int Deliveries() const noexcept { return FDeliveries; }

private:
    void Deliver();

    struct Impl;
    std::unique_ptr<Impl> FImpl;
    QTimer FBurst;
    std::function<void()> FOnChanged;
    int FDeliveries = 0;
};

} // namespace ui
