#pragma once

#include "support/MsgBoxRecorder.h"
#include "ui/frm_Main.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A window opened on a fresh temporary folder, with every box recorded.
class UiFixture {
public:
    // Creates entries under the temporary folder first ("a/b.txt" a file,
    // "d/" a folder), then opens the window there, shown and active.
    explicit UiFixture(const QStringList& entries = {});
    ~UiFixture();

    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const;
    frm_Main& form() { return *m_form; }
    MsgBoxRecorder& boxes() { return m_boxes; }

    // The tree under the root, sorted, folders with a trailing "/".
    QStringList tree() const;

private:
    QTemporaryDir m_dir;
    MsgBoxRecorder m_boxes;
    std::unique_ptr<frm_Main> m_form;
};

void makeEntries(const QString& root, const QStringList& entries);
