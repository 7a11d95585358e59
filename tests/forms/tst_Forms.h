#pragma once

#include <QObject>

// The forms layer: drops, boxes, the application object, the controls and
// the list boxes. One executable, the slots spread over one file per area.
class TestForms : public QObject {
    Q_OBJECT
private slots:
    // tst_Drops.cpp
    void droppedFiles_data();
    void droppedFiles();
    void droppedFilesKeepsBytesThatAreNotUtf8();
    void droppedFilesWithoutUriList();

    // tst_Boxes.cpp
    void messageBoxStyles_data();
    void messageBoxStyles();
    void messageBoxTitleAndText_data();
    void messageBoxTitleAndText();
    void installedMessageBoxShowsAndReturnsOk();
    void mousePointer();
    void clipboard();

    // tst_App.cpp
    void instanceLockLeftByDeadProcessDoesNotBlock();
    void instanceLockHeldByLiveHolderBlocks();
    void prevInstanceFirstStart();
    void appPathIsExecutableFolder();

    // tst_Controls.cpp
    void checkBoxValue_data();
    void checkBoxValue();
    void checkBoxRejectsOtherValues();
    void textBoxKeyDownSeesOldText();
    void textBoxSelectAllSurvivesFocusClick();
    void pictureBoxClickOnlyInside();

    // tst_DirListBox.cpp
    void dirListIndexMeaning();
    void dirListSingleClickSelects();
    void dirListDoubleClickOpens();
    void dirListDoubleClickOnVanishedFolder();
    void dirListRightClickKeepsSelection();
    void dirListSetPathMissingKeepsFolder();
    void dirListSetPathSameFolderAndTrailingSeparator();
    void dirListNamesNotUtf8();
    void dirListRefresh();
    void dirListDropEmitsFiles();
    void driveTextOpensRememberedFolder();
    void driveListChangeOnlyFromUser();

    // tst_FileListBox.cpp
    void fileListNormalFilesSorted();
    void fileListMissingFolderKeepsListing();
    void fileListNamesNotUtf8();
    void fileListDoubleClick();
    void fileListHundredThousandFiles();
};
