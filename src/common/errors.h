#pragma once

#include <stdexcept>
#include <string>

namespace vornel {

// Run-time error numbers used by the procedures' error handlers.
enum ErrorNumber : int {
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrTypeMismatch = 13,
    kErrBadFileName = 52,
    kErrFileNotFound = 53,
    kErrDeviceIo = 57,
    kErrDiskFull = 61,
    kErrPermissionDenied = 70,
    kErrPathFileAccess = 75,
    kErrPathNotFound = 76,
};

// Japanese description of an error number, empty for numbers without one.
std::string errorDescription(int number);

// The error a procedure raises and its handler reports through Err_Msg.
class VbError : public std::runtime_error {
  public:
    explicit VbError(int number, std::string description = {});
    int number() const { return number_; }
    const std::string& description() const { return description_; }

  private:
    int number_;
    std::string description_;
};

// Maps an errno value onto the error numbers above. `isPath` chooses between the "file" and
// "path" variants where both exist (ENOENT: 53 or 76, EACCES: 70 or 75).
int errorNumberFromErrno(int err, bool isPath = false);
[[noreturn]] void raiseError(int number);
[[noreturn]] void raiseErrno(int err, bool isPath = false);

}  // namespace vornel
