#pragma once

#include "runtime/MsgBox.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Records every box instead of showing it, for as long as it lives.
class MsgBoxRecorder {
public:
    struct Box {
        int style;
        QString prompt;
        std::optional<QString> title;
    };

    MsgBoxRecorder()
    {
        m_previous = rt::setMsgBoxHandler(
            [this](int style, const QString& prompt, const std::optional<QString>& title) {
                m_boxes.append({style, prompt, title});
                return rt::kVbOk;
            });
    }
    ~MsgBoxRecorder() { rt::setMsgBoxHandler(m_previous); }
    MsgBoxRecorder(const MsgBoxRecorder&) = delete;
    MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;

    const QList<Box>& boxes() const { return m_boxes; }
    // Every box as "style|title|prompt"; an absent title reads "<app>".
    QStringList shown() const
    {
        QStringList all;
        for (const Box& box : m_boxes)
            all.append(QString::number(box.style) + u'|' +
                       box.title.value_or(QStringLiteral("<app>")) + u'|' + box.prompt);
        return all;
    }

private:
    QList<Box> m_boxes;
    rt::MsgBoxHandler m_previous;
};
