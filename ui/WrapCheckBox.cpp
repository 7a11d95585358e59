#include "ui/WrapCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

void WrapCheckBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_CheckBox, option);  // the indicator alone

    QRect textRect = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    textRect.setTop(0);
    textRect.setBottom(height() - 1);
    textRect.setRight(width() - 1);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, caption);
}

bool WrapCheckBox::hitButton(const QPoint& pos) const
{
    // The caption may take the whole box: any point of it toggles.
    return rect().contains(pos);
}
