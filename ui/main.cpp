#include "forms/App.h"
#include "runtime/FileDateTime.h"
#include "ui/AppIcon.h"
#include "ui/frm_Undo.h"
#include "ui/mdl_AllUi.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

namespace {

bool hasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Without a display Qt aborts with a long message; say it in one line.
    if (!hasDisplay()) {
        std::fputs("nemirou: no display found: start it from a desktop session "
                   "(DISPLAY is not set).\n",
                   stderr);
        return 1;
    }
    rt::pinLocalTimeZone();
    QApplication app(argc, argv);
    // The name is the window's class (StartupWMClass); the desktop file name
    // ties the window to its menu entry and icon.
    QApplication::setApplicationName(QStringLiteral("Nemirou"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.nemirou.Nemirou"));
    QApplication::setWindowIcon(QIcon(FncPic_AppIcon()));
    // nemirou --undo: the undo of the newest run, a window of its own.
    if (argc == 2 && QByteArray(argv[1]) == "--undo") {
        frm_Undo undo;
        undo.load();
        undo.show();
        return QApplication::exec();
    }
    if (!Main()) {
        forms::App::RaisePrevInstance();
        return 0;
    }
    forms::App::ListenForLaterStarts();
    // Leave by returning, never by exit(): the application's destructor hands
    // the clipboard (the renamed-name list) to a running clipboard manager.
    return QApplication::exec();
}
