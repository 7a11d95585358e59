#include "forms/Interaction.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace forms {
namespace {

int g_pointer = kPointerDefault;

}  // namespace

void setMousePointer(int shape)
{
    // Each call replaces the previous pointer; the default removes every
    // override, also ones left by someone else.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    g_pointer = shape;
    switch (shape) {
    case kPointerDefault: break;
    case 1: QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor)); break;
    case 2: QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor)); break;
    case 3: QGuiApplication::setOverrideCursor(QCursor(Qt::IBeamCursor)); break;
    case kPointerHourglass: QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); break;
    case 13: QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor)); break;
    default: g_pointer = kPointerDefault; break;
    }
}

int mousePointer()
{
    return g_pointer;
}

void DoEvents()
{
    QCoreApplication::processEvents();
}

namespace Clipboard {

void Clear()
{
    QGuiApplication::clipboard()->clear();
}

void SetText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

}  // namespace Clipboard
}  // namespace forms
