#pragma once

#include "forms/Controls.h"
#include "forms/ListBoxes.h"
#include "support/DiskTree.h"
#include "support/MsgBoxRecorder.h"
#include "ui/frm_Main.h"
#include "ui/mdl_AllUi.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The main window, driven as a user drives it.
class TestUi : public QObject {
    Q_OBJECT
private slots:
    // The window and its small handlers; the built executable.
    void startAndLayout();
    void smallHandlers();
    void executable();

    // Folder navigation panel.
    void navigation_data();
    void navigation();

    // Rename commands, and the undo of the newest run in a window of its own.
    void pressChecksInputAndPassesOptions_data();
    void pressChecksInputAndPassesOptions();
    void folderCheckFailsDuringThePress();
    void reportAndUndoWindow();
};

// A window opened on a fresh temporary folder (or start below it) after the
// entries were made there (DiskTree::make), shown and active, every box
// recorded; the runs' journals go to a folder of the fixture's own.
class UiFixture {
public:
    explicit UiFixture(const QStringList& entries = {}, const QString& start = {})
    {
        QVERIFY(m_dir.isValid() && m_state.isValid());
        qputenv("XDG_STATE_HOME", rt::encodeName(m_state.path()));
        DiskTree::make(root(), entries);
        Gstr_StartPath = start.isEmpty() ? root() : path(start);
        m_form = std::make_unique<frm_Main>();
        m_form->show();
        QApplication::setActiveWindow(m_form.get());
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return root() + u'/' + relative; }
    frm_Main& form() { return *m_form; }

    // Every box shown so far (MsgBoxRecorder::shown).
    QStringList shown() const { return m_boxes.shown(); }
    // The folder the lists and the path box show as open; all three when they differ.
    QString opened() const
    {
        const QStringList all = {m_form->Dir_Box->Path(), m_form->FileList_Box->Path(),
                                 m_form->Txt_FullPath->text()};
        return all.count(all.first()) == all.size() ? all.first() : all.join(u'|');
    }
    // The tree under the root (DiskTree::tree); with contents, each file
    // followed by "=" and what it holds.
    QStringList tree(bool contents = false) const
    {
        QStringList all = DiskTree::tree(root());
        for (QString& entry : all)
            if (contents && !entry.endsWith(u'/'))
                entry += u'=' + QString::fromUtf8(DiskTree::readFile(DiskTree::raw(path(entry))));
        return all;
    }

private:
    QTemporaryDir m_dir, m_state;
    MsgBoxRecorder m_boxes;
    std::unique_ptr<frm_Main> m_form;
};
