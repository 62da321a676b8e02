#include "common/errors.h"

#include <cerrno>

namespace vornel {

std::string errorDescription(int number) {
    switch (number) {
        case kErrInvalidCall:
            return "プロシージャの呼び出し、または引数が不正です。";
        case kErrOverflow:
            return "オーバーフローしました。";
        case kErrTypeMismatch:
            return "型が一致しません。";
        case kErrBadFileName:
            return "ファイル名または番号が不正です。";
        case kErrFileNotFound:
            return "ファイルが見つかりません。";
        case kErrDeviceIo:
            return "デバイス I/O エラーです。";
        case kErrDiskFull:
            return "ディスクの空き容量が不足しています。";
        case kErrPermissionDenied:
            return "書き込みできません。";
        case kErrPathFileAccess:
            return "パス名が無効です。";
        case kErrPathNotFound:
            return "パスが見つかりません。";
        default:
            return {};
    }
}

VbError::VbError(int number, std::string description)
    : std::runtime_error("error " + std::to_string(number)),
      number_(number),
      description_(description.empty() ? errorDescription(number) : std::move(description)) {}

int errorNumberFromErrno(int err, bool isPath) {
    switch (err) {
        case ENOENT:
        case ENOTDIR:
            return isPath ? kErrPathNotFound : kErrFileNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return isPath ? kErrPathFileAccess : kErrPermissionDenied;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return kErrDiskFull;
        case ENAMETOOLONG:
        case EINVAL:
            return kErrBadFileName;
        default:
            return kErrDeviceIo;
    }
}

void raiseError(int number) { throw VbError(number); }

void raiseErrno(int err, bool isPath) { throw VbError(errorNumberFromErrno(err, isPath)); }

}  // namespace vornel
