#pragma once

#include <QPixmap>

// The application's 32x32, 16-colour icon: the window icon and the picture.
QPixmap FncPic_AppIcon();
