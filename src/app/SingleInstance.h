#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace tavrin {

// One running instance per user. A start first asks a running instance to show its window; only
// when nobody answers does it take over the (possibly stale) socket and listen itself.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The socket lives in $XDG_RUNTIME_DIR when set (private to the user), else in the temporary
    // folder with the user id in its name.
    static QString DefaultServerName();

    explicit SingleInstance(QString serverName = DefaultServerName(), QObject* parent = nullptr);

    // True when another instance answered and was asked to show itself: this process should end.
    bool activateRunningInstance(int timeoutMs = 1000);

    // Starts listening. False when the socket could not be created.
    bool listen();

signals:
    void showRequested();

private:
    void onNewConnection();

    QString serverName_;
    QLocalServer server_;
};

}  // namespace tavrin
