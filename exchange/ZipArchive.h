#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <memory>

struct zip;

// A zip archive held in memory (the workbook formats .xlsx and .ods are zip archives of XML
// parts), read through libzip. Entries are read as streams whose decompressed size is bounded,
// so a small archive that inflates to gigabytes is stopped early.
class ZipArchive
{
public:
    // data must outlive the archive.
    explicit ZipArchive(const QByteArray &data);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool isOpen() const { return m_zip != nullptr; }
    QString errorString() const { return m_error; }

    bool contains(const QString &name) const;
    // A device that reads the decompressed entry and fails (with its errorString()) once it
    // passes maxBytes or the data are damaged; null, with errorString(), when the entry is
    // missing or cannot be opened.
    std::unique_ptr<QIODevice> openEntry(const QString &name, qint64 maxBytes);
    // The whole entry in memory, for the small parts.
    bool readEntry(const QString &name, qint64 maxBytes, QByteArray *content);

private:
    zip *m_zip = nullptr;
    QString m_error;
};
