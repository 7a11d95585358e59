#pragma once

#include "runtime/VolumeRules.h"

#include <cstdint>
#include <deque>
#include <sys/stat.h>

namespace engine_detail {

// A volume a run has met, with what it learned of it.
struct KnownVolume {
    dev_t device = 0;
    rt::VolumeRules rules;
    bool plain = true;               // a local POSIX volume: no rules to apply
    bool spellingConfirmed = false;  // a case-only rename was seen listed as asked
};

// The volumes of one run, learned once each: a folder's volume is found by
// its device number, so a run over a card (or several) reads the mount
// table once per volume, and a plain local volume costs one fstat per
// folder. Kept per run, not per process: a device number is given to the
// next card plugged in.
class VolumeCache {
public:
    // The volume holding an open folder; null for a plain one.
    KnownVolume* at(int folder);

private:
    std::deque<KnownVolume> m_Known;
};

// What tells an entry from another one put at its name after a run: its
// inode number where the volume keeps them; on a volume that numbers its
// entries anew at each mount, a file's size and modification time (top bit
// set), and nothing (0) for a folder, whose time changes with its contents.
std::uint64_t entryIdentity(const struct stat& info, const KnownVolume* volume);

// True when an entry whose identity is now reads as the one recorded (0
// recorded: nothing was known, anything matches). Times on FAT-family
// volumes are kept to two seconds.
bool sameEntry(std::uint64_t recorded, std::uint64_t now);

}  // namespace engine_detail
