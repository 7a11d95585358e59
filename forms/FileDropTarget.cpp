#include "forms/FileDropTarget.h"

#include "forms/Interaction.h"

#include <QDropEvent>
#include <QMimeData>
#include <QWidget>

namespace forms {

// Answers the receiver's drag events before the widget sees them.
class FileDropTarget::Filter : public QObject {
public:
    Filter(QWidget* receiver, OtherDrags others, std::function<void(const QStringList&)> onDrop)
        : QObject(receiver), m_others(others), m_onDrop(std::move(onDrop))
    {
        receiver->installEventFilter(this);
    }

    void setOn(bool on) { m_on = on; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        if (!m_on || !carriesFiles(drop)) {
            if (m_others == OtherDrags::PassOn)
                return false;
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        if (type == QEvent::Drop)
            m_onDrop(droppedFiles(drop->mimeData()));
        return true;
    }

private:
    static bool carriesFiles(const QDropEvent* event)
    {
        return event->mimeData() && event->mimeData()->hasFormat(QStringLiteral("text/uri-list"));
    }

    OtherDrags m_others;
    std::function<void(const QStringList&)> m_onDrop;
    bool m_on = false;
};

FileDropTarget::FileDropTarget(QWidget* widget, QWidget* receiver, OtherDrags others,
                               std::function<void(const QStringList& files)> onDrop)
    : m_widget(widget), m_receiver(receiver), m_others(others),
      m_filter(new Filter(receiver, others, std::move(onDrop)))
{
}

FileDropTarget::~FileDropTarget() = default;

void FileDropTarget::setAcceptsFileDrops(bool on)
{
    m_filter->setOn(on);
    // A widget that refuses other drags takes drags only for files; one that
    // passes them on takes drags of its own already.
    if (m_others == OtherDrags::Refuse) {
        m_widget->setAcceptDrops(on);
        m_receiver->setAcceptDrops(on);
    }
}

}  // namespace forms
