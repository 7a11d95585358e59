#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QStringList>

// Small stand-ins for the forms runtime's controls: only the properties and
// events the window uses. Positions are in twips, 15 twips to a pixel.
namespace forms {

QRect twipsRect(int left, int top, int width, int height);

// Text box: GotFocus, KeyDown (before the key takes effect) and file drops.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);
    void setAcceptsFileDrops(bool on);
signals:
    void GotFocus();
    void KeyDown(int keyCode, int shift);
    void OLEDragDrop(const QStringList& files);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_acceptsFileDrops = false;
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
