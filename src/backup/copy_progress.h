#pragma once

#include <cstdint>
#include <string>

namespace vornel {

// What a run has done so far.
struct RunCounts {
    std::int64_t filesChecked = 0;  // files and links the run looked at
    std::int64_t filesCopied = 0;
    std::int64_t bytesCopied = 0;
};

// What a backup run shows while it works: the copy window in the program, a recorder in
// tests, nothing in the benchmark. Label setters take the texts the run puts in the window's
// labels of the same names.
class CopyProgressSink {
  public:
    virtual ~CopyProgressSink() = default;
    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    virtual void set_srcfld(const std::string& text) = 0;
    virtual void set_dstfld(const std::string& text) = 0;
    virtual void set_subfld(const std::string& text) = 0;
    virtual void set_cpfname(const std::string& text) = 0;
    virtual void set_filesize(const std::string& text) = 0;
    // After each file: what the run has done so far.
    virtual void set_counts(const RunCounts&) {}
    // While one file is copied: its bytes copied so far, and its size.
    virtual void set_fileProgress(std::int64_t /*done*/, std::int64_t /*size*/) {}
};

}  // namespace vornel
