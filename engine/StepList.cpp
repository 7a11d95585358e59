#include "engine/StepList.h"

#include <algorithm>

StepList::StepList(std::initializer_list<RenameStep> steps)
{
    for (const RenameStep& step : steps)
        append(step);
}

std::uint32_t StepList::folderNumber(const QString& folder)
{
    if (!m_Folders.isEmpty()) {
        const QString& last = m_Folders.last();
        if (last.constData() == folder.constData() || last == folder)
            return static_cast<std::uint32_t>(m_Folders.size() - 1);
    }
    m_Folders.append(folder);
    return static_cast<std::uint32_t>(m_Folders.size() - 1);
}

const char16_t* StepList::keep(const QString& text)
{
    char16_t* to = m_Names.take(static_cast<std::size_t>(text.size()));
    std::copy_n(reinterpret_cast<const char16_t*>(text.constData()), text.size(), to);
    return to;
}

void StepList::append(const RenameStep& step)
{
    Packed& packed = m_Steps.append();
    packed.fromName = keep(step.fromName);
    packed.toName = keep(step.toName);
    packed.identity = step.identity;
    packed.folder = folderNumber(step.folder);
    packed.toFolder = step.toFolder.isNull() ? kNoFolder : folderNumber(step.toFolder);
    packed.fromLength = static_cast<std::uint32_t>(step.fromName.size());
    packed.toLength = static_cast<std::uint32_t>(step.toName.size());
    packed.error = step.error;
    packed.systemError = step.systemError;
    packed.isFolder = step.isFolder;
}

RenameStep StepList::operator[](qsizetype i) const
{
    const Packed& packed = at(i);
    const auto text = [](const char16_t* units, std::uint32_t length) {
        return QString(reinterpret_cast<const QChar*>(units), static_cast<qsizetype>(length));
    };
    return {m_Folders[packed.folder],
            text(packed.fromName, packed.fromLength),
            text(packed.toName, packed.toLength),
            packed.error,
            packed.systemError,
            packed.isFolder,
            packed.toFolder == kNoFolder ? QString() : m_Folders[packed.toFolder],
            packed.identity};
}

StepList::View StepList::view(qsizetype i) const
{
    const Packed& packed = at(i);
    const auto text = [](const char16_t* units, std::uint32_t length) {
        return QString::fromRawData(reinterpret_cast<const QChar*>(units),
                                    static_cast<qsizetype>(length));
    };
    return {m_Folders[packed.folder],
            packed.toFolder == kNoFolder ? nullptr : &m_Folders[packed.toFolder],
            text(packed.fromName, packed.fromLength),
            text(packed.toName, packed.toLength),
            packed.error,
            packed.systemError,
            packed.isFolder,
            packed.identity};
}

void StepList::setOutcome(qsizetype i, int error, int systemError)
{
    Packed& packed = at(i);
    packed.error = error;
    packed.systemError = systemError;
}

void StepList::setIdentity(qsizetype i, std::uint64_t identity)
{
    at(i).identity = identity;
}
