// A stand-in for a desktop's StatusNotifierItem host (Plasma's tray, GNOME's AppIndicator
// extension) on the session bus: it owns org.kde.StatusNotifierWatcher, says a host is there,
// and prints the service of each item that registers, one a line, so that a test can call the
// item as a host would.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <cstdio>

namespace {

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

public:
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }
    QStringList items() const { return items_; }

public slots:
    void RegisterStatusNotifierItem(const QString& service) {
        items_ << service;
        std::printf("item %s\n", qPrintable(service));
        std::fflush(stdout);
    }
    void RegisterStatusNotifierHost(const QString&) {}

private:
    QStringList items_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Watcher watcher;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllContents) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "sni_watcher_stub: cannot own org.kde.StatusNotifierWatcher\n");
        return 1;
    }
    std::printf("watching\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

#include "SniWatcherStub.moc"
