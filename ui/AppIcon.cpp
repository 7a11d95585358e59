#include "ui/AppIcon.h"

#include "resources/nemirou.xpm"

QPixmap FncPic_AppIcon()
{
    return QPixmap(nemirou_xpm);
}
