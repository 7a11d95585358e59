#include "forms/MessageBox.h"

#include "forms/App.h"
#include "forms/Interaction.h"
#include "runtime/MsgBox.h"

#include <QApplication>

namespace forms {

QMessageBox::Icon messageBoxIcon(int style)
{
    switch (style & 0x70) {
    case 16: return QMessageBox::Critical;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QString messageBoxText(const QString& prompt)
{
    QString text = prompt;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

void configureMessageBox(QMessageBox& box, int style, const QString& prompt,
                         const std::optional<QString>& title)
{
    box.setIcon(messageBoxIcon(style));
    box.setTextFormat(Qt::PlainText);  // prompts are never markup
    box.setText(messageBoxText(prompt));
    box.setWindowTitle(title.value_or(App::Title()));
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
}

void installMessageBox()
{
    rt::setMsgBoxHandler([](int style, const QString& prompt, const std::optional<QString>& title) {
        QMessageBox box(QApplication::activeWindow());
        configureMessageBox(box, style, prompt, title);
        box.exec();
        return rt::kVbOk;
    });
}

}  // namespace forms
