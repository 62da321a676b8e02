#include "common/program_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace vornel {
namespace {

// Relative values are invalid and are to be ignored, like unset ones.
bool usable(const char* value) { return value && value[0] == '/'; }

}  // namespace

std::string chooseProgramFolder(const std::string& executableFolder,
                                const std::function<bool(const std::string&)>& writable,
                                const char* xdgDataHome, const char* home) {
    if (writable(executableFolder)) return executableFolder;
    if (usable(xdgDataHome)) return std::string(xdgDataHome) + "/vornelnet";
    if (usable(home)) return std::string(home) + "/.local/share/vornelnet";
    return {};
}

bool folderWritable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string makeProgramFolder(const std::string& folder) {
    std::string path;
    std::size_t from = 1;
    while (from <= folder.size()) {
        std::size_t slash = folder.find('/', from);
        if (slash == std::string::npos) slash = folder.size();
        path = folder.substr(0, slash);
        from = slash + 1;
        if (path.empty() || path.back() == '/') continue;
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
            return path + ": " + std::strerror(errno);
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return folder + ": " + std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return folder + ": " + std::strerror(ENOTDIR);
    return {};
}

std::string findHelpFile(const std::string& executableFolder,
                         const std::string& installedDataFolder, const std::string& name) {
    namespace fs = std::filesystem;
    const std::string candidates[] = {
        executableFolder + "/" + name,
        executableFolder + "/../share/vornelnet/" + name,
        installedDataFolder + "/" + name,
    };
    for (const std::string& candidate : candidates) {
        if (candidate.front() != '/') continue;  // no installed data folder was given
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec)) return fs::path(candidate).lexically_normal();
    }
    return candidates[0];
}

}  // namespace vornel
