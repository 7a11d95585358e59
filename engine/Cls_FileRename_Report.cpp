#include "engine/Cls_FileRename.h"

#include "runtime/VbError.h"

#include <limits>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

}  // namespace

void Cls_FileRename::Sub_ClearReport()
{
    m_ReportList.clear();
}

// Appends in place: the trail grows in amortised constant time per line.
void Cls_FileRename::Sub_AddReportLine(const QString& text)
{
    m_ReportList.append(text);
    m_ReportList.append(kLineEnd);
}

void Cls_FileRename::Sub_AddCount(std::int32_t& counter)
{
    if (counter == std::numeric_limits<std::int32_t>::max())
        rt::raiseError(rt::kOverflow, QStringLiteral("Cls_FileRename"));
    ++counter;
}

QString Cls_FileRename::getReport_FileList() const
{
    if (m_ReportList.isEmpty())
        return QStringLiteral("なし");
    return m_ReportList;
}

QString Cls_FileRename::GetStr_Report() const
{
    QString text = QStringLiteral("ファイル名変更を終えました。") + kLineEnd +
                   QStringLiteral("-------------------------------------------------") + kLineEnd +
                   QStringLiteral("変更したファイルの数　：【 ") + QString::number(m_RenameCount) +
                   QStringLiteral(" 】") + kLineEnd + kLineEnd +
                   QStringLiteral("指定ﾃﾞｨﾚｸﾄﾘ配下の全ファイル数：【 ") +
                   QString::number(m_AllFileCount) + QStringLiteral(" 】") + kLineEnd;
    if (m_IsDirectoryRename)
        text.replace(QStringLiteral("ファイル"), QStringLiteral("ﾃﾞｨﾚｸﾄﾘ"));
    return text;
}

QString Cls_FileRename::GetStr_Reportリスト作成() const
{
    const std::int64_t total = std::int64_t{m_RenameCount} + m_RejectedCount;
    if (total > std::numeric_limits<std::int32_t>::max() ||
        total < std::numeric_limits<std::int32_t>::min())
        rt::raiseError(rt::kOverflow, QStringLiteral("Cls_FileRename.GetStr_Reportリスト作成"));
    return QStringLiteral("ファイルリストを作成しました。") + kLineEnd +
           QStringLiteral("-------------------------------------------------") + kLineEnd +
           QStringLiteral("条件選定対象のファイル数：【 ") + QString::number(total) +
           QStringLiteral(" 】") + kLineEnd + QStringLiteral("対象となったファイルの数：【 ") +
           QString::number(m_RenameCount) + QStringLiteral(" 】") + kLineEnd + kLineEnd +
           QStringLiteral("指定ﾃﾞｨﾚｸﾄﾘ配下の全ファイル数：【 ") + QString::number(m_AllFileCount) +
           QStringLiteral(" 】") + kLineEnd;
}
