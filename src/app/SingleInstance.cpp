#include "app/SingleInstance.h"

#include <unistd.h>

#include <QDir>
#include <QLocalSocket>

namespace tavrin {

namespace {
// The name the keyboard's original tool used for its mutex, so two generations never run at once.
constexpr const char* kInstanceGuid = "{57D1171D-1a34-0804-8A3A-65ABA2150010}";
constexpr const char* kShowRequest = "show\n";
}  // namespace

QString SingleInstance::DefaultServerName() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return QDir(runtime).filePath(
            QStringLiteral("tavrin-gaming-keyboard-%1").arg(kInstanceGuid));
    }
    return QStringLiteral("tavrin-gaming-keyboard-%1-%2").arg(kInstanceGuid).arg(::getuid());
}

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), serverName_(std::move(serverName)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

bool SingleInstance::activateRunningInstance(int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMs)) {
        return false;
    }
    socket.write(kShowRequest);
    socket.waitForBytesWritten(timeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    if (server_.listen(serverName_)) {
        return true;
    }
    // Nobody answered the connect, so a socket left there belongs to a crashed instance.
    QLocalServer::removeServer(serverName_);
    return server_.listen(serverName_);
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
        const auto take = [this, client] {
            if (client->readAll().contains("show")) {
                emit showRequested();
            }
        };
        connect(client, &QLocalSocket::readyRead, this, take);
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        // The request may have arrived with the connection, before readyRead was connected.
        if (client->bytesAvailable() > 0) {
            take();
        }
    }
}

}  // namespace tavrin
