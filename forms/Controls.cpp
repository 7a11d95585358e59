#include "forms/Controls.h"

#include "forms/EventCodes.h"
#include "runtime/VbError.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace forms {

TextBox::TextBox(QWidget* parent)
    : QLineEdit(parent),
      FileDropTarget(this, this, OtherDrags::PassOn,
                     [this](const QStringList& files) { emit OLEDragDrop(files); })
{
}

void TextBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // The press that gave the focus arrives after this and would put the
    // caret under the pointer, undoing a select-all done by the handler.
    m_selectOnFocusClick = event->reason() == Qt::MouseFocusReason;
    emit GotFocus();
}

void TextBox::mousePressEvent(QMouseEvent* event)
{
    if (!m_selectOnFocusClick) {
        QLineEdit::mousePressEvent(event);
        return;
    }
    m_selectOnFocusClick = false;
    const bool hadSelection = hasSelectedText();
    const int start = selectionStart();
    const int length = static_cast<int>(selectedText().size());
    QLineEdit::mousePressEvent(event);
    if (hadSelection)
        setSelection(start, length);
}

void TextBox::keyPressEvent(QKeyEvent* event)
{
    // Handlers read the text as it was before the key.
    emit KeyDown(keyCode(event), shiftCode(event->modifiers()));
    QLineEdit::keyPressEvent(event);
}

int CheckBox::Value() const
{
    switch (checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void CheckBox::setValue(int value)
{
    switch (value) {
    case 0:
        setTristate(false);
        setCheckState(Qt::Unchecked);
        break;
    case 1:
        setTristate(false);
        setCheckState(Qt::Checked);
        break;
    case 2:
        setTristate(true);
        setCheckState(Qt::PartiallyChecked);
        break;
    default: rt::raiseError(380, QStringLiteral("CheckBox"));  // invalid property value
    }
}

void Frame::mouseDoubleClickEvent(QMouseEvent* event)
{
    QGroupBox::mouseDoubleClickEvent(event);
    emit DblClick();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

}  // namespace forms
