#pragma once

// Where keyboard arrivals and removals come from: the libudev monitor for real devices, a poll of
// the virtual link's socket for the virtual keyboard process, nothing for the in-process one.
// Every event is handed on at once; the keyboard service's worker does the rest.

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "device/HotplugEvent.h"

class QSocketNotifier;

namespace tavrin {

class UdevMonitor;
class VirtualHidLinkWatcher;

class HotplugSource : public QObject {
    Q_OBJECT

public:
    enum class Kind { None, Udev, VirtualLink };

    // `socketPath` for VirtualLink.
    HotplugSource(Kind kind, std::string socketPath = {}, QObject* parent = nullptr);
    ~HotplugSource() override;

    // False with `error` when the platform's notifications could not be registered.
    bool start(std::string& error);

signals:
    void deviceChanged(const tavrin::HotplugEvent& event);

private:
    Kind kind_;
    std::string socketPath_;
    std::unique_ptr<UdevMonitor> monitor_;
    std::unique_ptr<VirtualHidLinkWatcher> linkWatcher_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer linkPoll_;
};

}  // namespace tavrin
