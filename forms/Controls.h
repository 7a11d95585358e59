#pragma once

#include "forms/FileDropTarget.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

// Small stand-ins for the forms runtime's controls: only the properties and
// events the window uses. Positions are in twips (forms/Twips.h).
namespace forms {

// Text box: GotFocus, KeyDown (before the key takes effect) and file drops.
class TextBox : public QLineEdit, public FileDropTarget {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);
signals:
    void GotFocus();
    void KeyDown(int keyCode, int shift);
    void OLEDragDrop(const QStringList& files);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_selectOnFocusClick = false;
};

// Button with the free-text Tag.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
    QString Tag;
};

// Check box whose Value is 0 (clear), 1 (set) or 2 (grey).
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
    int Value() const;
    void setValue(int value);
};

// Frame with a caption line and a DblClick event.
class Frame : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;
signals:
    void DblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// Picture that answers clicks.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace forms
