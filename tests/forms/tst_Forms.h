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
    void fileDropTargets();
    void installedMessageBox();
    void mousePointer();
    void checkBoxValue();

    // tst_App.cpp
    void appPrevInstanceAndPath();
    void instanceLockNotALock_data();
    void instanceLockNotALock();

    // tst_ListBoxes.cpp
    void dirList();
    void driveList();
    void fileList();
};
