#include "runtime/MsgBox.h"

#include <cstdio>
#include <utility>

namespace rt {
namespace {

MsgBoxHandler& installedHandler()
{
    static MsgBoxHandler handler;
    return handler;
}

int writeToStandardError(int style, const QString& prompt, const std::optional<QString>& title)
{
    const QString line = QStringLiteral("[%1] %2: %3\n")
                             .arg(style)
                             .arg(title.value_or(QStringLiteral("Nemirou")), prompt);
    std::fputs(line.toLocal8Bit().constData(), stderr);
    return kVbOk;
}

}  // namespace

MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler)
{
    return std::exchange(installedHandler(), std::move(handler));
}

int MsgBox(const QString& prompt, int style, const std::optional<QString>& title)
{
    // Copied so that a handler may replace itself while it runs.
    const MsgBoxHandler handler = installedHandler();
    return handler ? handler(style, prompt, title) : writeToStandardError(style, prompt, title);
}

}  // namespace rt
