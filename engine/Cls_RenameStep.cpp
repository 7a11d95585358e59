#include "engine/Cls_RenameStep.h"

#include "engine/Cls_FileRename.h"

namespace {

QString parentOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

}  // namespace

QString RenameStep::from() const
{
    return Cls_FileRename::FncStr_JoinPath(folder, fromName);
}

QString RenameStep::to() const
{
    return Cls_FileRename::FncStr_JoinPath(toFolder.isNull() ? folder : toFolder, toName);
}

RenameStep RenameStep::between(const QString& from, const QString& to)
{
    RenameStep step;
    step.folder = parentOf(from);
    step.fromName = from.mid(from.lastIndexOf(u'/') + 1);
    const QString toParent = parentOf(to);
    if (toParent != step.folder)
        step.toFolder = toParent;
    step.toName = to.mid(to.lastIndexOf(u'/') + 1);
    return step;
}
