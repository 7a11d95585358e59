#include "engine/Volumes.h"

#include <cstdlib>

namespace engine_detail {
namespace {

constexpr std::uint64_t kByContent = std::uint64_t{1} << 63;
constexpr int kSecondBits = 34;  // whole seconds until the year 2514
constexpr std::uint64_t kSecondMask = (std::uint64_t{1} << kSecondBits) - 1;
constexpr std::uint64_t kSizeMask = (std::uint64_t{1} << (63 - kSecondBits)) - 1;

}  // namespace

KnownVolume* VolumeCache::at(int folder)
{
    struct stat info {};
    if (::fstat(folder, &info) != 0)
        return nullptr;
    for (KnownVolume& known : m_Known) {
        if (known.device != info.st_dev)
            continue;
        if (known.plain)
            return nullptr;
        // A volume whose folding could not be asked in an earlier folder
        // (it held no name with a letter) is asked again here.
        bool folds = false;
        if (!known.rules.caseTested && known.rules.windowsNames &&
            rt::testCaseFolding(folder, folds)) {
            known.rules.foldsCase = folds;
            known.rules.caseTested = true;
        }
        return &known;
    }
    KnownVolume& added = m_Known.emplace_back();
    added.device = info.st_dev;
    added.rules = rt::volumeRulesAt(folder);
    added.plain = added.rules.isPlain();
    return added.plain ? nullptr : &added;
}

std::uint64_t entryIdentity(const struct stat& info, const KnownVolume* volume)
{
    if (!volume || volume->rules.stableInodes)
        return info.st_ino;
    if (S_ISDIR(info.st_mode))
        return 0;
    return kByContent | ((static_cast<std::uint64_t>(info.st_size) & kSizeMask) << kSecondBits) |
           (static_cast<std::uint64_t>(info.st_mtim.tv_sec) & kSecondMask);
}

bool sameEntry(std::uint64_t recorded, std::uint64_t now)
{
    if (recorded == 0)
        return true;
    if ((recorded & kByContent) == 0 || (now & kByContent) == 0)
        return recorded == now;
    const auto seconds = [](std::uint64_t identity) {
        return static_cast<std::int64_t>(identity & kSecondMask);
    };
    return (recorded >> kSecondBits) == (now >> kSecondBits) &&
           std::llabs(seconds(recorded) - seconds(now)) <= 2;
}

}  // namespace engine_detail
