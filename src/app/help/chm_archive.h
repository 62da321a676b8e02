#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

struct chmFile;

namespace vornel {

// Read access to a compiled HTML help file.
class ChmArchive {
  public:
    // Opens `path`; null when the file is missing or not a help file.
    static std::unique_ptr<ChmArchive> open(const QString& path);
    ~ChmArchive();
    ChmArchive(const ChmArchive&) = delete;
    ChmArchive& operator=(const ChmArchive&) = delete;

    // The bytes stored under `path` ("/index.html"); nothing when there is no such entry.
    std::optional<QByteArray> read(const QString& path) const;
    // Every stored file, as paths beginning with "/".
    QStringList files() const;

    // Facts the compiler stores about the file; empty where it stored none.
    QString title() const { return title_; }
    QString defaultTopic() const { return defaultTopic_; }
    QString contentsFile() const { return contentsFile_; }

  private:
    explicit ChmArchive(chmFile* handle);
    void readSystemEntries();

    chmFile* handle_;
    QString title_;
    QString defaultTopic_;
    QString contentsFile_;
};

}  // namespace vornel
