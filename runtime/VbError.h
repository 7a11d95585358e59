#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// Errors of the runtime and scripting layers. They travel as a C++ exception
// carrying the classic runtime number, a short description and the source
// (the routine that raised it). Every procedure of the system catches them
// itself; see docs/ARCHITECTURE.md for the error regimes.
namespace rt {

enum ErrorNumber : int {
    kInvalidCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kInternalError = 51,
    kBadFileName = 52,
    kFileNotFound = 53,
    kDeviceIoError = 57,
    kFileAlreadyExists = 58,
    kDiskFull = 61,
    kTooManyFiles = 67,
    kDeviceUnavailable = 68,
    kPermissionDenied = 70,
    kDiskNotReady = 71,
    kRenameAcrossDisks = 74,
    kPathFileAccessError = 75,
    kPathNotFound = 76,
    kKeyAlreadyExists = 457,
};

class VbError : public std::exception {
public:
    VbError(int number, QString description, QString source);

    int number() const noexcept { return m_number; }
    const QString& description() const noexcept { return m_description; }
    const QString& source() const noexcept { return m_source; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    int m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};

// The project's Japanese description of an error number.
QString errorDescription(int number);

// The error number that stands for an errno value.
int errorNumberFromErrno(int errnoValue);

[[noreturn]] void raiseError(int number, const QString& source);
[[noreturn]] void raiseErrno(int errnoValue, const QString& source);

// Inside a catch block: the error being handled, whatever its C++ type.
// Outside a catch block: number 0.
VbError currentError();

}  // namespace rt
