#pragma once

#include "engine/Blocks.h"
#include "engine/Cls_RenameStep.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <iterator>

// The steps of one run, held compactly: a run of 100,000 renames keeps its
// names in a few large blocks and each folder's path once, rather than
// several allocations per step. A step read back is a RenameStep of its own.
class StepList {
public:
    StepList() = default;
    StepList(std::initializer_list<RenameStep> steps);
    StepList(StepList&&) noexcept = default;
    StepList& operator=(StepList&&) noexcept = default;
    StepList(const StepList&) = delete;
    StepList& operator=(const StepList&) = delete;

    // A step as it is held, without a copy: the names are texts over the
    // list's memory, valid while the list lives.
    struct View {
        const QString& folder;
        const QString* toFolder;  // null unless the step is between two folders
        QString fromName;
        QString toName;
        int error;
        int systemError;
        bool isFolder;
        std::uint64_t identity;
    };

    void append(const RenameStep& step);
    RenameStep operator[](qsizetype i) const;
    View view(qsizetype i) const;
    qsizetype size() const { return static_cast<qsizetype>(m_Steps.size()); }
    bool isEmpty() const { return m_Steps.size() == 0; }

    void setOutcome(qsizetype i, int error, int systemError);
    void setIdentity(qsizetype i, std::uint64_t identity);

    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = RenameStep;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = RenameStep;
        const_iterator(const StepList* list, qsizetype at) : m_List(list), m_At(at) {}
        RenameStep operator*() const { return (*m_List)[m_At]; }
        const_iterator& operator++()
        {
            ++m_At;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return m_At == other.m_At; }

    private:
        const StepList* m_List;
        qsizetype m_At;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    static constexpr std::uint32_t kNoFolder = UINT32_MAX;
    struct Packed {
        const char16_t* fromName;
        const char16_t* toName;
        std::uint64_t identity;
        std::uint32_t folder;
        std::uint32_t toFolder;  // kNoFolder unless the step is between two folders
        std::uint32_t fromLength;
        std::uint32_t toLength;
        int error;
        int systemError;
        bool isFolder;
    };
    Packed& at(qsizetype i) const { return m_Steps[static_cast<std::size_t>(i)]; }
    std::uint32_t folderNumber(const QString& folder);
    const char16_t* keep(const QString& text);

    engine_detail::Chunks<Packed> m_Steps;
    engine_detail::Blocks<char16_t> m_Names;
    QStringList m_Folders;  // steps come folder by folder: mostly the last one
};
