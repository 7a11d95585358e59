#pragma once

#include "forms/Controls.h"

// A check box whose caption wraps onto as many lines as its height allows.
// A plain QCheckBox draws one line only and cuts the rest off.
class WrapCheckBox : public forms::CheckBox {
public:
    using forms::CheckBox::CheckBox;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};
