#pragma once

#include <string>

namespace vornel {

// Where the entries of the error log go: the error-log window in the program, a recorder in
// tests. `append` shows the log (opening a fresh one when it was closed) and adds the text.
class ErrLogSink {
  public:
    virtual ~ErrLogSink() = default;
    virtual void append(const std::string& entry) = 0;
};

}  // namespace vornel
