#include "tst_Ui.h"

#include "runtime/NameCodec.h"
#include "ui/mdl_AllUi.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

void makeEntries(const QString& root, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const fs::path target(rt::encodeName(root + u'/' + entry).toStdString());
        const bool folder = entry.endsWith(u'/');
        fs::create_directories(folder ? target : target.parent_path());
        if (!folder)
            QVERIFY(static_cast<bool>(std::ofstream(target) << entry.toStdString()));
    }
}

UiFixture::UiFixture(const QStringList& entries, const QString& start)
{
    QVERIFY(m_dir.isValid() && m_state.isValid());
    qputenv("XDG_STATE_HOME", rt::encodeName(m_state.path()));
    makeEntries(root(), entries);
    Gstr_StartPath = start.isEmpty() ? root() : path(start);
    m_form = std::make_unique<frm_Main>();
    m_form->show();
    QApplication::setActiveWindow(m_form.get());
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

QString UiFixture::shown(int i) const
{
    const MsgBoxRecorder::Box& box = m_boxes.boxes().at(i);
    return QString::number(box.style) + u'|' + box.title.value_or(QStringLiteral("<app>")) + u'|' +
           box.prompt;
}

QString UiFixture::opened() const
{
    const QStringList all = {m_form->Dir_Box->Path(), m_form->FileList_Box->Path(),
                             m_form->Txt_FullPath->text()};
    return all.count(all.first()) == all.size() ? all.first() : all.join(u'|');
}

QStringList UiFixture::tree(bool contents) const
{
    QStringList result;
    const fs::path base(rt::encodeName(root()).toStdString());
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
        const std::string relative = fs::relative(entry.path(), base).string();
        QString line = rt::decodeName(QByteArray::fromStdString(relative)) +
                       (entry.is_directory() ? QStringLiteral("/") : QString());
        if (contents && !entry.is_directory()) {
            std::ifstream in(entry.path());
            line += u'=' + QString::fromStdString({std::istreambuf_iterator<char>(in), {}});
        }
        result.append(line);
    }
    std::sort(result.begin(), result.end());
    return result;
}
