#include "app/help/chm_archive.h"

#include <chm_lib.h>

#include <QFile>
#include <QtEndian>

namespace vornel {
namespace {

// Paths inside the file are absolute and compared exactly.
QString absolute(const QString& path) {
    return path.startsWith(u'/') ? path : QStringLiteral("/") + path;
}

// Text entries of the system table end in a NUL and are in the help file's code page; the
// compiler we use writes what it was given, and our sources are UTF-8.
QString entryText(const QByteArray& data) {
    const qsizetype nul = data.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? data : data.left(nul));
}

}  // namespace

std::unique_ptr<ChmArchive> ChmArchive::open(const QString& path) {
    // chmlib does not say why an open failed; a plain file test keeps directories and
    // unreadable files from reaching it.
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) return nullptr;
    probe.close();
    chmFile* h = chm_open(QFile::encodeName(path).constData());
    if (!h) return nullptr;
    std::unique_ptr<ChmArchive> archive(new ChmArchive(h));
    archive->readSystemEntries();
    return archive;
}

ChmArchive::ChmArchive(chmFile* handle) : handle_(handle) {}

ChmArchive::~ChmArchive() { chm_close(handle_); }

std::optional<QByteArray> ChmArchive::read(const QString& path) const {
    chmUnitInfo ui{};
    const QByteArray name = absolute(path).toUtf8();
    if (chm_resolve_object(handle_, name.constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    // The help files we open are small; refuse anything absurd rather than allocate it.
    constexpr LONGUINT64 kLimit = 64u * 1024u * 1024u;
    if (ui.length > kLimit) return std::nullopt;
    QByteArray data(static_cast<qsizetype>(ui.length), Qt::Uninitialized);
    const LONGINT64 got =
        chm_retrieve_object(handle_, &ui, reinterpret_cast<unsigned char*>(data.data()), 0,
                            static_cast<LONGINT64>(ui.length));
    if (got != static_cast<LONGINT64>(ui.length)) return std::nullopt;
    return data;
}

QStringList ChmArchive::files() const {
    QStringList list;
    auto collect = [](chmFile*, chmUnitInfo* ui, void* context) -> int {
        const QString path = QString::fromUtf8(ui->path);
        if (!path.endsWith(u'/')) static_cast<QStringList*>(context)->append(path);
        return CHM_ENUMERATOR_CONTINUE;
    };
    chm_enumerate(handle_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collect, &list);
    return list;
}

void ChmArchive::readSystemEntries() {
    // The system table: a 32-bit version, then entries of a 16-bit code, a 16-bit length and
    // that many bytes. Code 0 names the contents file, 2 the default topic, 3 the title.
    const std::optional<QByteArray> sys = read(QStringLiteral("/#SYSTEM"));
    if (sys) {
        const QByteArray& d = *sys;
        qsizetype pos = 4;
        while (pos + 4 <= d.size()) {
            const auto code = qFromLittleEndian<quint16>(d.constData() + pos);
            const auto len = qFromLittleEndian<quint16>(d.constData() + pos + 2);
            pos += 4;
            if (pos + len > d.size()) break;
            const QByteArray value = d.mid(pos, len);
            pos += len;
            if (code == 0)
                contentsFile_ = absolute(entryText(value));
            else if (code == 2)
                defaultTopic_ = absolute(entryText(value));
            else if (code == 3)
                title_ = entryText(value);
        }
    }
    if (contentsFile_.isEmpty() || !read(contentsFile_)) {
        contentsFile_.clear();
        for (const QString& f : files()) {
            if (f.endsWith(QStringLiteral(".hhc"), Qt::CaseInsensitive)) {
                contentsFile_ = f;
                break;
            }
        }
    }
}

}  // namespace vornel
