#include "forms/InstanceRaise.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <algorithm>

namespace forms {
namespace {

// How long a second start waits for the running instance to take its call.
constexpr int kConnectMilliseconds = 500;

void bringToFront(QWidget* window)
{
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

void bringWindowsToFront()
{
    QWidgetList windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = widget->windowType();
        if (widget->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            windows.append(widget);
    }
    // Dialogs last, so that a box the user still has to answer ends on top.
    std::stable_partition(windows.begin(), windows.end(),
                          [](const QWidget* w) { return w->windowType() == Qt::Window; });
    for (QWidget* window : windows)
        bringToFront(window);
}

}  // namespace

QLocalServer* listenForRaise(const QString& socketName)
{
    if (socketName.isEmpty())
        return nullptr;
    auto* server = new QLocalServer(QCoreApplication::instance());
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketName);
    if (!server->listen(socketName)) {
        delete server;
        return nullptr;
    }
    QObject::connect(server, &QLocalServer::newConnection, server, [server] {
        while (QLocalSocket* call = server->nextPendingConnection()) {
            call->abort();
            call->deleteLater();
        }
        bringWindowsToFront();
    });
    return server;
}

bool askToRaise(const QString& socketName)
{
    if (socketName.isEmpty())
        return false;
    QLocalSocket call;
    call.connectToServer(socketName, QIODevice::WriteOnly);
    const bool answered = call.waitForConnected(kConnectMilliseconds);
    call.abort();
    return answered;
}

}  // namespace forms
