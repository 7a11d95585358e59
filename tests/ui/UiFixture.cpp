#include "UiFixture.h"

#include "runtime/NameCodec.h"
#include "ui/mdl_AllUi.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

void makeEntries(const QString& root, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const fs::path target = fs::path(rt::encodeName(root + u'/' + entry).toStdString());
        if (entry.endsWith(u'/')) {
            fs::create_directories(target);
        } else {
            fs::create_directories(target.parent_path());
            QFile file(rt::decodeName(QByteArray::fromStdString(target.string())));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
}

UiFixture::UiFixture(const QStringList& entries)
{
    QVERIFY(m_dir.isValid());
    makeEntries(root(), entries);
    Gstr_StartPath = root();
    m_form = std::make_unique<frm_Main>();
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

UiFixture::~UiFixture() = default;

QString UiFixture::path(const QString& relative) const
{
    return root() + u'/' + relative;
}

QStringList UiFixture::tree() const
{
    QStringList result;
    const fs::path base(rt::encodeName(root()).toStdString());
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
        const std::string relative = fs::relative(entry.path(), base).string();
        QString name = rt::decodeName(QByteArray::fromStdString(relative));
        if (entry.is_directory())
            name += u'/';
        result.append(name);
    }
    std::sort(result.begin(), result.end());
    return result;
}
