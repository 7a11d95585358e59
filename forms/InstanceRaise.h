#pragma once

#include <QString>

class QLocalServer;

// How a second start brings the running instance's window to the front: the
// instance that holds the lock listens on a local socket beside it, and a
// start that finds the lock held connects once and ends.
namespace forms {

// Listens on socketName; each connection brings every visible window of the
// application to the front (un-minimised, raised, activated), dialogs over
// the main window. A socket left behind by an ended holder is replaced: the
// caller holds the lock, so no other live instance can own it. Returns the
// server (owned by the application object), or nullptr when it cannot listen.
QLocalServer* listenForRaise(const QString& socketName);

// Connects to the instance listening on socketName and returns at once;
// false when nothing listens there.
bool askToRaise(const QString& socketName);

}  // namespace forms
