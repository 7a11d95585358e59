#pragma once

#include <QString>

// The application object of the forms runtime.
namespace forms::App {

// The previous-instance test. The first call takes a QLockFile named after
// the user id in $XDG_RUNTIME_DIR (else the temporary folder) and keeps it for
// the life of the process; true when another live process holds it. A lock
// left by a killed process does not count.
bool PrevInstance();

// When PrevInstance() found another instance: asks it to bring its window to
// the front, and returns at once.
void RaisePrevInstance();

// When PrevInstance() found none: from now on a later start's request brings
// this instance's windows to the front.
void ListenForLaterStarts();

// The application's folder: the working directory the program was started
// in (no trailing separator except "/"). A desktop menu starts programs in
// the home folder, a file manager's action in the folder it shows; the
// folder the executable lies in is a system folder nobody renames in.
QString Path();

// The version from the CMake project version.
int Major();
int Minor();
int Revision();

// The title of boxes shown without a title argument.
QString Title();  // "Nemirou"

}  // namespace forms::App
