#include "settings/sysdat_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "common/cp932.h"
#include "common/errors.h"
#include "common/file_ops.h"
#include "common/temp_file.h"
#include "settings/sysdat_fields.h"

namespace vornel {
namespace {

std::string readAll(int fd, std::size_t limit) {
    std::string data;
    char buf[16384];
    while (data.size() < limit) {
        ssize_t n = ::read(fd, buf, std::min(sizeof buf, limit - data.size()));
        if (n < 0) {
            if (errno == EINTR) continue;
            raiseErrno(errno);
        }
        if (n == 0) break;
        data.append(buf, static_cast<std::size_t>(n));
    }
    return data;
}

}  // namespace

std::string trimTrailingBlanks(std::string s) {
    const auto last = s.find_last_not_of(' ');
    s.erase(last == std::string::npos ? 0 : last + 1);
    return s;
}

SysdatContent readSysdatFile(const std::string& path) {
    // Only a regular file is read (through a link to one is fine). A FIFO would block the
    // open or the read for good and a device such as /dev/zero never ends, so anything else
    // is refused before it is opened, and the descriptor is checked again once it is open.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) raiseErrno(errno);
    if (!S_ISREG(st.st_mode)) raiseError(kErrPathFileAccess);
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.ok()) raiseErrno(errno);
    if (::fstat(fd.get(), &st) != 0) raiseErrno(errno);
    if (!S_ISREG(st.st_mode)) raiseError(kErrPathFileAccess);

    SysdatContent c;
    // One byte more than a whole file tells a file that grew past it while being read.
    const std::string data = readAll(fd.get(), kSysdatFileBytes + 1);
    if (data.size() > kSysdatFileBytes) {
        c.tooLarge = true;
        return c;
    }
    c.wrongLength = data.size() != kSysdatFileBytes;
    for (int i = 0; i < kSysdatRecords; ++i) {
        const std::size_t start = static_cast<std::size_t>(i) * kSysdatRecordLength;
        // A record cut short by the end of the file reads as far as it goes.
        std::string value = start < data.size() ? data.substr(start, kSysdatValueBytes) : "";
        value = trimTrailingBlanks(std::move(value));
        cp932::DecodeResult d = cp932::decode(value);
        if (!d.ok) c.invalidBytes = true;
        c.bytes[i] = std::move(value);
        c.text[i] = std::move(d.utf8);
    }
    return c;
}

ValueEncoding encodeSysdatValue(const std::string& utf8) {
    ValueEncoding r;
    cp932::EncodeResult e = cp932::encode(utf8);
    if (!e.ok) {
        r.status = ValueEncoding::Unrepresentable;
        std::size_t consumed = 1;
        cp932::charWidth(utf8, e.badOffset, &consumed);
        r.badChar = utf8.substr(e.badOffset, consumed);
        return r;
    }
    r.length = e.bytes.size();
    if (r.length > kSysdatValueBytes) {
        r.status = ValueEncoding::TooLong;
        return r;
    }
    r.bytes = std::move(e.bytes);
    return r;
}

std::string buildSysdatImage(const SysdatRecords& valueBytes) {
    std::string image;
    image.reserve(kSysdatRecords * kSysdatRecordLength);
    for (const std::string& v : valueBytes) {
        std::string record = v.substr(0, kSysdatValueBytes);
        record.resize(kSysdatValueBytes, ' ');
        record.resize(kSysdatRecordLength, '\0');
        image += record;
    }
    return image;
}

namespace {

// The file a chain of symbolic links at `path` ends in (`path` itself when it is no link).
std::string linkTarget(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        char buf[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), buf, sizeof buf);
        if (n < 0) raiseErrno(errno, true);
        if (static_cast<std::size_t>(n) == sizeof buf) raiseErrno(ENAMETOOLONG, true);
        const std::string target(buf, static_cast<std::size_t>(n));
        current = target.front() == '/' ? target : folderOf(current) + "/" + target;
    }
    raiseErrno(ELOOP, true);
}

}  // namespace

void writeSysdatFile(const std::string& path, const std::string& image) {
    // Settings kept elsewhere (a synced folder) and linked here stay linked: the new file
    // replaces the link's target, in the target's own folder, with the target's permissions.
    std::string name;
    Fd folder(openParentFolder(linkTarget(path), name));
    if (!folder.ok()) raiseErrno(errno, true);
    TempFile tmp;
    if (int e = tmp.create(folder.get())) raiseErrno(e, true);
    if (int e = tmp.setModeLike(name)) raiseErrno(e);
    if (int e = tmp.write(image)) raiseErrno(e);
    // The settings are written seldom and must survive a power cut right after a save.
    if (int e = tmp.commit(name, {true, true})) raiseErrno(e, true);
}

SysdatRecords defaultSysdatValues() {
    SysdatRecords v;
    for (int i = 0; i < kSysdatRecords; ++i)
        v[static_cast<std::size_t>(i)] = sysdatRecord(i).defaultValue;
    return v;
}

}  // namespace vornel
