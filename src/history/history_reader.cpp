#include "history/history_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/cp932.h"
#include "common/file_ops.h"

namespace vornel {
namespace {

// Bytes kept from the end of what was read: if they still stand just before the read offset,
// the file was appended to; if not, it was rewritten in place.
constexpr std::size_t kCheckBytes = 64;

std::string decodeLine(std::string_view bytes) {
    if (!bytes.empty() && bytes.back() == '\r') bytes.remove_suffix(1);
    // Bytes that are not code page 932 come back as U+FFFD: shown, never passed on raw.
    return cp932::decode(std::string(bytes)).utf8;
}

}  // namespace

HistoryReader::HistoryReader(std::string path, std::size_t sliceBytes)
    : path_(std::move(path)), sliceBytes_(sliceBytes == 0 ? 1 : sliceBytes) {}

void HistoryReader::forget(Slice& slice) {
    slice.restart = true;
    known_ = false;
    offset_ = 0;
    last_.clear();
    pending_.clear();
}

bool HistoryReader::sameFileAsBefore(int fd, const struct stat& st) const {
    if (st.st_dev != dev_ || st.st_ino != ino_ || st.st_size < offset_) return false;
    std::string check(last_.size(), '\0');
    const off_t at = offset_ - static_cast<off_t>(last_.size());
    return ::pread(fd, check.data(), check.size(), at) == static_cast<ssize_t>(check.size()) &&
           check == last_;
}

HistoryReader::Slice HistoryReader::fail(State state, int error) {
    Slice slice;
    state_ = state;
    error_ = error;
    forget(slice);
    return slice;
}

HistoryReader::Slice HistoryReader::read() {
    Slice slice;
    // Never follows a link and never waits on a FIFO someone put in its place.
    Fd file(::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!file.ok()) return fail(errno == ENOENT ? State::Missing : State::Unreadable, errno);
    if (::fstat(file.get(), &st) != 0) return fail(State::Unreadable, errno);
    if (!S_ISREG(st.st_mode)) return fail(State::Unreadable, 0);
    if (!known_ || !sameFileAsBefore(file.get(), st)) {
        forget(slice);
        known_ = true;
        dev_ = st.st_dev;
        ino_ = st.st_ino;
    }
    std::string bytes(sliceBytes_, '\0');
    const ssize_t n = ::pread(file.get(), bytes.data(), bytes.size(), offset_);
    if (n < 0) return fail(State::Unreadable, errno);
    bytes.resize(static_cast<std::size_t>(n));
    state_ = State::Ok;
    error_ = 0;
    offset_ += n;
    last_ = (last_ + bytes)
                .substr(last_.size() + bytes.size() > kCheckBytes
                            ? last_.size() + bytes.size() - kCheckBytes
                            : 0);
    slice.more = offset_ < st.st_size && n > 0;
    take(bytes, slice);
    return slice;
}

void HistoryReader::take(const std::string& bytes, Slice& slice) {
    pending_ += bytes;
    // A line feed is never part of a double-byte character, so lines split before decoding.
    const std::size_t end = pending_.rfind('\n');
    if (end != std::string::npos) {
        std::string_view whole(pending_.data(), end);
        std::size_t start = 0;
        while (start <= whole.size()) {
            const std::size_t lf = whole.find('\n', start);
            const std::size_t stop = lf == std::string_view::npos ? whole.size() : lf;
            slice.lines.push_back(decodeLine(whole.substr(start, stop - start)));
            start = stop + 1;
        }
        pending_.erase(0, end + 1);
    }
    if (!slice.more) slice.tail = decodeLine(pending_);
}

}  // namespace vornel
