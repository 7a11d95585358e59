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
    g_pointer = shape == kPointerHourglass ? kPointerHourglass : kPointerDefault;
    if (g_pointer == kPointerHourglass)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
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
