#pragma once

#include <QStringList>

#include <functional>

class QWidget;

// The file-drop handling shared by the path box and the two lists: a widget
// mixes this in, names the widget its drags arrive at (a list's viewport, or
// the widget itself) and what it does with a drop of local files. File drops
// are off until setAcceptsFileDrops(true).
namespace forms {

class FileDropTarget {
public:
    // What happens to a drag that carries no files, or to any drag while file
    // drops are off.
    enum class OtherDrags {
        Refuse,  // a list takes no other drops
        PassOn,  // a text box takes dropped text as it always does
    };

    void setAcceptsFileDrops(bool on);

protected:
    FileDropTarget(QWidget* widget, QWidget* receiver, OtherDrags others,
                   std::function<void(const QStringList& files)> onDrop);
    ~FileDropTarget();
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

private:
    class Filter;
    QWidget* m_widget;
    QWidget* m_receiver;
    OtherDrags m_others;
    Filter* m_filter;  // a child of the receiver, deleted with it
};

}  // namespace forms
