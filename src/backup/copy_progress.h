#pragma once

#include <string>

namespace vornel {

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
};

}  // namespace vornel
