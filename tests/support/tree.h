#pragma once

#include <ctime>
#include <iosfwd>
#include <string>
#include <vector>

namespace vornel::test {

// One entry of a folder tree declared as data. Paths are relative and use "/".
struct TreeEntry {
    enum Kind { File, Dir, Link, Fifo };
    Kind kind = File;
    std::string path;
    std::string content;    // file bytes, or the target of a link
    std::time_t mtime = 0;  // seconds since the epoch; 0 leaves the time alone

    bool operator==(const TreeEntry& o) const {
        return kind == o.kind && path == o.path && content == o.content;
    }
};
void PrintTo(const TreeEntry& e, std::ostream* os);

TreeEntry file(std::string path, std::string content = {}, std::time_t mtime = 0);
TreeEntry dir(std::string path);
TreeEntry link(std::string path, std::string target);
TreeEntry fifo(std::string path);

// Creates `root` and the entries under it (folders are made as needed).
void makeTree(const std::string& root, const std::vector<TreeEntry>& entries);
// Everything under `root`, hidden entries included, sorted by path; mtimes are filled in.
std::vector<TreeEntry> readTree(const std::string& root);
// Checks that `root` holds exactly `expected` (kind, path, content or link target).
void expectTree(const std::string& root, std::vector<TreeEntry> expected);

// Sets a file's (or link's) modification time.
void setMtime(const std::string& path, std::time_t seconds, long nanoseconds = 0);

// The lines of a CR LF text, without their line breaks.
std::vector<std::string> crlfLines(const std::string& text);

}  // namespace vornel::test
