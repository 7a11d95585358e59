#pragma once

#include <QObject>

// The main window, driven as a user drives it.
class TestUi : public QObject {
    Q_OBJECT
private slots:
    // Window, controls and the small handlers.
    void initialState();
    void childrenSitInTheirFrames();
    void tabOrderFollowsTheTabIndexes();
    void settingsFrameOpensAndCloses_data();
    void settingsFrameOpensAndCloses();
    void pictureMessageIndex_data();
    void pictureMessageIndex();
    void pictureRepeatsTheSameSequence();
    void pictureClicksShowTheSequence();
    void infoLabelStaysVisible();
    void focusSelectsAllText_data();
    void focusSelectsAllText();
    void cancelClosesTheWindow();
    void unreadableStartFolderKeepsTheWindowUsable();

    // Folder navigation panel.
    void dropFillsThePartToChangeBoxes_data();
    void dropFillsThePartToChangeBoxes();
    void dropOfSeveralFilesUsesTheFirst();
    void dropWithoutDotChangesNoBox();
    void rightClickOnTheFolderList();
    void fileListDoubleClick_data();
    void fileListDoubleClick();
    void pathSetChecksTheFolder_data();
    void pathSetChecksTheFolder();
    void keyDownInThePathBoxAppliesIt();
    void typingIntoThePathBoxChecksEachPrefix();
    void refreshShowsNewEntries();
    void anotherDriveOpensItsCurrentFolder();

    // Rename commands.
    void inputChecks_data();
    void inputChecks();
    void optionsReachTheEngine_data();
    void optionsReachTheEngine();
    void summaryAndReport();
    void reportButtonCopiesTheLatestTrail();
    void folderCheckFailsDuringThePress();
    void selectedFolderIsListedButOpenFolderIsRenamed();

    // The executable.
    void secondInstanceEndsAtOnce();
    void withoutDisplayOneLineAndExitCode1();
};
