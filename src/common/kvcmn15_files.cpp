// Profile, path, file, shell and help members of KvCmn15.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/kvcmn15.h"
#include "common/safe_copy.h"

namespace vornel {
namespace {

std::string trimRight(std::string s, const char* chars = " ") {
    s.erase(s.find_last_not_of(chars) + 1);
    return s;
}

std::string trimBoth(const std::string& s) {
    auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool sameKey(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Reads the lines of a profile file. A missing file reads as empty; one that exists but cannot
// be read gives false, so a write never replaces what it could not see.
bool readLines(const std::string& file, std::vector<std::string>& lines) {
    lines.clear();
    std::ifstream in(file, std::ios::binary);
    if (!in) return errno == ENOENT;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return !in.bad();
}

// A text that would break the profile's line structure if written as a name or a value.
bool breaksLine(const std::string& s) {
    return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// Index of the line "[section]", or -1.
long findSection(const std::vector<std::string>& lines, const std::string& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string t = trimBoth(lines[i]);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']' &&
            sameKey(trimBoth(t.substr(1, t.size() - 2)), section))
            return static_cast<long>(i);
    }
    return -1;
}

bool isSectionLine(const std::string& line) {
    std::string t = trimBoth(line);
    return !t.empty() && t.front() == '[';
}

}  // namespace

std::int16_t KvCmn15::IniWrite(const std::string& sectionName, const std::string& keyName,
                               const std::string& keyStr, const std::string& fileName) {
    if (sectionName.empty() || keyName.empty() || fileName.empty()) return kFalse;
    if (breaksLine(sectionName) || breaksLine(keyName) || breaksLine(keyStr) ||
        sectionName.find(']') != std::string::npos || keyName.find('=') != std::string::npos)
        return kFalse;
    std::vector<std::string> lines;
    if (!readLines(fileName, lines)) return kFalse;
    const std::string entry = keyName + "=" + keyStr;
    long sec = findSection(lines, sectionName);
    if (sec < 0) {
        lines.push_back("[" + sectionName + "]");
        lines.push_back(entry);
    } else {
        std::size_t i = static_cast<std::size_t>(sec) + 1;
        std::size_t insertAt = i;
        bool replaced = false;
        for (; i < lines.size() && !isSectionLine(lines[i]); ++i) {
            auto eq = lines[i].find('=');
            if (!trimBoth(lines[i]).empty()) insertAt = i + 1;
            if (eq != std::string::npos && sameKey(trimBoth(lines[i].substr(0, eq)), keyName)) {
                lines[i] = entry;
                replaced = true;
                break;
            }
        }
        if (!replaced) lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
    }
    std::string bytes;
    for (const auto& l : lines) bytes += l + "\r\n";
    return replaceFileContents(fileName, bytes) == 0 ? kTrue : kFalse;
}

std::string KvCmn15::IniRead(const std::string& sectionName, const std::string& keyName,
                             const std::string& fileName) {
    std::vector<std::string> lines;
    if (!readLines(fileName, lines)) return "error";
    long sec = findSection(lines, sectionName);
    if (sec < 0) return "error";
    for (std::size_t i = static_cast<std::size_t>(sec) + 1;
         i < lines.size() && !isSectionLine(lines[i]); ++i) {
        auto eq = lines[i].find('=');
        if (eq == std::string::npos || !sameKey(trimBoth(lines[i].substr(0, eq)), keyName))
            continue;
        std::string value = trimBoth(lines[i].substr(eq + 1));
        // The value buffer holds 254 bytes and its terminator; a cut never splits a character.
        if (value.size() > 254) {
            std::size_t cut = 254;
            while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
            value.resize(cut);
        }
        if (value.empty()) return "error";
        return trimRight(value);
    }
    return "error";
}

std::int16_t KvCmn15::Shell_Excute(WindowHandle /*hWnd*/, const std::string& fileName) {
    const std::string text = fileName + "が見つからないか、拡張子に" + "\r" +
                             "関連付けられたアプリケーションが有りません！";
    // The opener may fail after this instance's window has gone; then nobody is told.
    std::weak_ptr<bool> alive = alive_;
    auto lateFailure = [this, alive, text] {
        if (alive.lock()) Msg_Box(KindErr, text);
    };
    if (backend_.shellOpen(fileName, lateFailure)) return kTrue;
    Msg_Box(KindErr, text);
    return kFalse;
}

void KvCmn15::PlayWaveSound(const std::string& WavFileName) { backend_.playSoundFile(WavFileName); }

std::int32_t KvCmn15::FileCopy(const std::string& OldFile, const std::string& NewFile) {
    CopyOptions options;
    options.pump = [this] { backend_.processEvents(); };
    return copyFileSafely(OldFile, NewFile, options).ok ? 1 : 0;
}

std::int16_t KvCmn15::Search_path(const std::string& FPath) {
    // The root of the file system stands where a drive root ("C:\") stood: it exists when it
    // can be listed and holds something.
    if (FPath == "/") {
        DIR* d = ::opendir("/");
        if (!d) return kFalse;
        bool any = false;
        while (struct dirent* e = ::readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") {
                any = true;
                break;
            }
        }
        ::closedir(d);
        return any ? kTrue : kFalse;
    }
    const auto p = FPath.find_last_of('/');
    if (p == std::string::npos) raiseError(kErrInvalidCall);
    // No file name holds a NUL; the system would see only the text before it.
    if (FPath.find('\0') != std::string::npos) return kFalse;
    const std::string folder = p == 0 ? "/" : FPath.substr(0, p);
    const std::string name = FPath.substr(p + 1);
    if (name.empty() || name == "." || name == "..") return kFalse;
    // The folder part must itself be a folder; the entry is looked up without following a
    // final link, since a dangling link is still an entry.
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return kFalse;
    const std::string full = folder == "/" ? "/" + name : folder + "/" + name;
    return ::lstat(full.c_str(), &st) == 0 ? kTrue : kFalse;
}

std::string KvCmn15::WinDir() {
    std::string d = trimRight(backend_.windowsDirectory());
    if (d.size() >= 99) raiseError(kErrInvalidCall);
    return d;
}

std::string KvCmn15::SysDir() {
    std::string d = trimRight(backend_.systemDirectory());
    if (d.size() >= 99) raiseError(kErrInvalidCall);
    return d;
}

std::int16_t KvCmn15::HtmlHelp_open(WindowHandle winhand, const std::string& Help_file,
                                    float dispMode, float contextID) {
    const int mode = static_cast<int>(roundHalfEven(dispMode));
    const int context = static_cast<int>(roundHalfEven(contextID));
    if (backend_.openHelp(winhand, Help_file, mode, context)) return kTrue;
    std::string local;
    std::string& msg = msgStr_ ? *msgStr_ : local;
    msg = "Help File = " + Help_file + " を開けませんでした！";
    Msg_Box(KindErr, msg);
    return kFalse;
}

}  // namespace vornel
