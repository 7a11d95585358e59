#pragma once

#include <QObject>

// The forms layer: drops, boxes, the application object, the controls and
// the list boxes. One executable, the slots spread over one file per area.
class TestForms : public QObject {
    Q_OBJECT
private slots:
    // tst_Interaction.cpp
    void droppedFiles_data();
    void droppedFiles();
    void fileDropTargets_data();
    void fileDropTargets();
    void installedMessageBox();
    void mousePointer();

    // tst_App.cpp
    void appPrevInstanceAndPath();
    void raiseOnLaterStart();
    void instanceLockNotALock_data();
    void instanceLockNotALock();

    // tst_Controls.cpp
    void checkBoxValue_data();
    void checkBoxValue();

    // tst_ListBoxes.cpp
    void dirListIndexAndPath();
    void dirListMouse();
    void dirListRefresh();
    void driveList();
    void fileListNormalFilesSorted();
};
