#pragma once

#include <QByteArray>

// A folder listing that fails part-way, for tests: this file's readdir stands
// in for the C library's in the test executable (it links before libc), and
// once armed for one folder it delivers that many entries of it and then
// fails with the given errno. Every other listing is passed through.
namespace readdirfault {

// Arms the fault for the folder at path (its device and inode), after
// `entries` names other than "." and "..".
void failAfter(const QByteArray& path, int entries, int errnoValue);
void disarm();

// Disarms when it goes out of scope, also when a check fails.
struct Armed {
    Armed(const QByteArray& path, int entries, int errnoValue)
    {
        failAfter(path, entries, errnoValue);
    }
    ~Armed() { disarm(); }
    Armed(const Armed&) = delete;
    Armed& operator=(const Armed&) = delete;
};

}  // namespace readdirfault
