#pragma once

#include "runtime/MsgBox.h"

#include <QList>
#include <QString>

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

private:
    QList<Box> m_boxes;
    rt::MsgBoxHandler m_previous;
};
