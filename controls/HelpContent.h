#pragma once

#include "ChmArchive.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Everything the help window shows of one help file, read out of it in one go: what its system
// object names and every stored page, style sheet and picture. The helper program
// talvenbahn-help-reader fills it and sends it over as bytes (toBytes); the program takes those
// bytes apart (fromBytes) and never touches the file itself.
class THelpContent
{
public:
    // Bounds far above a real help file (ours holds a dozen pages in some 25 KB); they keep a
    // damaged file from taking unbounded memory.
    static constexpr qint64 kMaxTotalBytes = 32 * 1024 * 1024;
    static constexpr int kMaxFiles = 10000;

    const TChmSystemInfo &systemInfo() const { return m_info; }
    void setSystemInfo(const TChmSystemInfo &info) { m_info = info; }

    // Paths inside the file, with or without the leading "/", in any case.
    std::optional<QByteArray> read(const QString &path) const;
    bool contains(const QString &path) const;
    // Each with its leading "/", in the order they were added.
    QStringList files() const { return m_paths; }
    qint64 totalBytes() const { return m_totalBytes; }

    // False when the bounds above would be passed.
    bool add(const QString &path, const QByteArray &data);

    QByteArray toBytes() const;
    // Nothing when the bytes are not one complete, well-formed message within the bounds.
    static std::optional<THelpContent> fromBytes(const QByteArray &bytes);

private:
    static QString key(const QString &path);

    TChmSystemInfo m_info;
    QStringList m_paths;
    QHash<QString, QByteArray> m_data;
    qint64 m_totalBytes = 0;
};
