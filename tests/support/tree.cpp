#include "support/tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <stdexcept>

#include "support/temp_dir.h"

namespace vornel::test {
namespace fs = std::filesystem;

TreeEntry file(std::string path, std::string content, std::time_t mtime) {
    return {TreeEntry::File, std::move(path), std::move(content), mtime};
}
TreeEntry dir(std::string path) { return {TreeEntry::Dir, std::move(path), {}, 0}; }
TreeEntry link(std::string path, std::string target) {
    return {TreeEntry::Link, std::move(path), std::move(target), 0};
}
TreeEntry fifo(std::string path) { return {TreeEntry::Fifo, std::move(path), {}, 0}; }

void setMtime(const std::string& path, std::time_t seconds, long nanoseconds) {
    const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throw std::runtime_error("cannot set the time of " + path);
}

void makeTree(const std::string& root, const std::vector<TreeEntry>& entries) {
    fs::create_directories(root);
    for (const TreeEntry& e : entries) {
        const fs::path p = fs::path(root) / e.path;
        fs::create_directories(p.parent_path());
        if (e.kind == TreeEntry::File) writeFile(p.string(), e.content);
        if (e.kind == TreeEntry::Dir) fs::create_directories(p);
        if (e.kind == TreeEntry::Link) fs::create_symlink(e.content, p);
        if (e.kind == TreeEntry::Fifo && ::mkfifo(p.c_str(), 0644) != 0)
            throw std::runtime_error("mkfifo " + p.string());
        if (e.mtime != 0) setMtime(p.string(), e.mtime);
    }
}

std::vector<TreeEntry> readTree(const std::string& root) {
    std::vector<TreeEntry> out;
    for (const fs::directory_entry& it : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        if (::lstat(it.path().c_str(), &st) != 0)
            throw std::runtime_error("no " + it.path().string());
        TreeEntry e{
            TreeEntry::Fifo, it.path().lexically_relative(root).string(), {}, st.st_mtim.tv_sec};
        if (S_ISLNK(st.st_mode)) {
            e.kind = TreeEntry::Link;
            e.content = fs::read_symlink(it.path()).string();
        } else if (S_ISDIR(st.st_mode)) {
            e.kind = TreeEntry::Dir;
        } else if (S_ISREG(st.st_mode)) {
            e.kind = TreeEntry::File;
            e.content = readFile(it.path().string());
        }  // anything else is a special file, shown as a FIFO
        out.push_back(std::move(e));
    }
    std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return a.path < b.path; });
    return out;
}

void PrintTo(const TreeEntry& e, std::ostream* os) {
    static const char* const kinds[] = {"file", "dir", "link", "special"};
    *os << kinds[e.kind] << " " << e.path;
    if (!e.content.empty()) *os << " [" << e.content.substr(0, 40) << "]";
}

void expectTree(const std::string& root, std::vector<TreeEntry> expected) {
    std::sort(expected.begin(), expected.end(), [](auto& a, auto& b) { return a.path < b.path; });
    EXPECT_EQ(readTree(root), expected) << "tree under " << root;
}

std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t pos = 0, end = 0; pos < text.size(); pos = end + 2) {
        end = std::min(text.find("\r\n", pos), text.size());
        lines.push_back(text.substr(pos, end - pos));
    }
    return lines;
}

}  // namespace vornel::test
