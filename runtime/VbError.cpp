#include "runtime/VbError.h"

#include <cerrno>
#include <new>
#include <stdexcept>

namespace rt {

VbError::VbError(int number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_what(QStringLiteral("%1 %2 (%3)").arg(number).arg(m_description, m_source).toUtf8())
{
}

QString errorDescription(int number)
{
    switch (number) {
    case kInvalidCall: return QStringLiteral("プロシージャの呼び出し、または引数が不正です。");
    case kOverflow: return QStringLiteral("オーバーフローしました。");
    case kOutOfMemory: return QStringLiteral("メモリが不足しています。");
    case kInternalError: return QStringLiteral("内部エラーです。");
    case kBadFileName: return QStringLiteral("ファイル名または番号が不正です。");
    case kFileNotFound: return QStringLiteral("ファイルが見つかりません。");
    case kDeviceIoError: return QStringLiteral("デバイス I/O エラーです。");
    case kFileAlreadyExists: return QStringLiteral("既に同じ名前のファイルがあります。");
    case kDiskFull: return QStringLiteral("ディスクの空き容量が不足しています。");
    case kTooManyFiles: return QStringLiteral("ファイルが多すぎます。");
    case kDeviceUnavailable: return QStringLiteral("デバイスが準備されていません。");
    case kPermissionDenied: return QStringLiteral("書き込みできません。アクセスが拒否されました。");
    case kDiskNotReady: return QStringLiteral("ディスクが準備されていません。");
    case kRenameAcrossDisks: return QStringLiteral("別のドライブへは名前を変更できません。");
    case kPathFileAccessError: return QStringLiteral("パス名が無効です。アクセスできません。");
    case kPathNotFound: return QStringLiteral("パスが見つかりません。");
    case kKeyAlreadyExists: return QStringLiteral("このキーは既に登録されています。");
    default: return QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。");
    }
}

int errorNumberFromErrno(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT: return kFileNotFound;
    case ENOTDIR: return kPathNotFound;
    case EEXIST:
    case ENOTEMPTY: return kFileAlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY: return kPermissionDenied;
    case EXDEV: return kRenameAcrossDisks;
    case ENOSPC:
    case EDQUOT: return kDiskFull;
    case EMFILE:
    case ENFILE:
    case EMLINK: return kTooManyFiles;
    case ENODEV:
    case ENXIO: return kDeviceUnavailable;
    case EIO: return kDeviceIoError;
    case ENAMETOOLONG:
    case EILSEQ: return kBadFileName;
    case EISDIR:
    case ELOOP:
    case EINVAL: return kPathFileAccessError;
    case ENOMEM: return kOutOfMemory;
    default: return kPathFileAccessError;
    }
}

void raiseError(int number, const QString& source)
{
    throw VbError(number, errorDescription(number), source);
}

void raiseErrno(int errnoValue, const QString& source)
{
    raiseError(errorNumberFromErrno(errnoValue), source);
}

VbError currentError()
{
    const std::exception_ptr pending = std::current_exception();
    if (!pending)
        return VbError(0, QString(), QString());
    try {
        std::rethrow_exception(pending);
    } catch (const VbError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return VbError(kOutOfMemory, errorDescription(kOutOfMemory), QStringLiteral("Nemirou"));
    } catch (const std::exception& error) {
        return VbError(kInternalError, QString::fromLocal8Bit(error.what()),
                       QStringLiteral("Nemirou"));
    } catch (...) {
        return VbError(kInternalError, errorDescription(kInternalError), QStringLiteral("Nemirou"));
    }
}

}  // namespace rt
