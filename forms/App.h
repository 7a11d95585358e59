#pragma once

#include <QString>

// The application object of the forms runtime.
namespace forms::App {

// The previous-instance test. The first call takes a QLockFile named after
// the user id in $XDG_RUNTIME_DIR (else the temporary folder) and keeps it for
// the life of the process; true when another live process holds it. A lock
// left by a killed process does not count.
bool PrevInstance();

// The folder of the executable (no trailing separator except "/").
QString Path();

// The version from the CMake project version.
int Major();
int Minor();
int Revision();

// The title of boxes shown without a title argument.
QString Title();  // "Nemirou"

}  // namespace forms::App
