#pragma once

#include "forms/Controls.h"
#include "forms/ListBoxes.h"
#include "support/MsgBoxRecorder.h"
#include "ui/frm_Main.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The main window, driven as a user drives it.
class TestUi : public QObject {
    Q_OBJECT
private slots:
    // Window and the small handlers.
    void initialState();
    void settingsFrameOpensAndCloses();
    void tabSkipsTheClosedSettingsFrame_data();
    void tabSkipsTheClosedSettingsFrame();
    void pictureMessages();
    void unreadableStartFolderKeepsTheWindowUsable();

    // Folder navigation panel.
    void dropOrDoubleClickFillsThePartToChangeBoxes_data();
    void dropOrDoubleClickFillsThePartToChangeBoxes();
    void rightClickOnTheFolderList();
    void pathBoxChecksTheFolder_data();
    void pathBoxChecksTheFolder();
    void refreshAndDriveChange();

    // Rename commands.
    void pressChecksInputAndPassesOptions_data();
    void pressChecksInputAndPassesOptions();
    void summaryAndReport();
    void folderCheckFailsDuringThePress();
    void selectedFolderIsListedButOpenFolderIsRenamed();
    void blankEndedFolderIsRenamedNotItsNamesake();

    // The undo of the newest run, a window of its own.
    void undoWindowListsRestoresAndCancels();

    // The executable.
    void secondInstanceEndsAtOnce();
    void withoutDisplayOneLineAndExitCode1();
};

inline const QString kEmptyPrompt =
    QStringLiteral("指定なしはいけません。\r\n何かしら指定してください。");
inline const QString kMissingPrompt =
    QStringLiteral("指定されたディレクトリは存在しません。\r\n選択しなおしてください。");

// A window opened on a fresh temporary folder, with every box recorded.
class UiFixture {
public:
    // Creates entries under the temporary folder first ("a/b.txt" a file
    // holding its own path, "d/" a folder), then opens the window there (or
    // in start below it), shown and active. Journals go to a folder of the
    // fixture's own.
    explicit UiFixture(const QStringList& entries = {}, const QString& start = {});

    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return root() + u'/' + relative; }
    frm_Main& form() { return *m_form; }
    const QList<MsgBoxRecorder::Box>& shown() const { return m_boxes.boxes(); }
    // Box i as "style|title|prompt"; an absent title (the application's) reads "<app>".
    QString shown(int i) const;
    // The folder the lists and the path box show as open; all three when they differ.
    QString opened() const;
    // The tree under the root, sorted, folders with a trailing "/"; with
    // contents, each file followed by "=" and what it holds.
    QStringList tree(bool contents = false) const;

    // The folder the runs' journals go to.
    QString journals() const { return m_state.path() + QStringLiteral("/nemirou/journal"); }

private:
    QTemporaryDir m_dir;
    QTemporaryDir m_state;
    MsgBoxRecorder m_boxes;
    std::unique_ptr<frm_Main> m_form;
};

void makeEntries(const QString& root, const QStringList& entries);
