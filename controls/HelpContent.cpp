#include "HelpContent.h"

#include <QDataStream>
#include <QIODevice>

namespace {

// Marks the start and the end of the message, so that a helper cut short or printing
// something else is told apart from a help file.
constexpr quint32 kMagic = 0x54424831; // "TBH1"
constexpr quint32 kEndMark = 0x54424845;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

} // namespace

QString THelpContent::key(const QString &path)
{
    // Help files look their objects up without regard to case.
    return TChmArchive::normalizedPath(path).toLower();
}

std::optional<QByteArray> THelpContent::read(const QString &path) const
{
    const auto found = m_data.constFind(key(path));
    if (found == m_data.constEnd())
        return std::nullopt;
    return *found;
}

bool THelpContent::contains(const QString &path) const
{
    return m_data.contains(key(path));
}

bool THelpContent::add(const QString &path, const QByteArray &data)
{
    const QString name = TChmArchive::normalizedPath(path);
    const QString k = key(name);
    if (m_data.contains(k))
        return true;
    if (m_paths.size() >= kMaxFiles || m_totalBytes + data.size() > kMaxTotalBytes)
        return false;
    m_paths.append(name);
    m_data.insert(k, data);
    m_totalBytes += data.size();
    return true;
}

QByteArray THelpContent::toBytes() const
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << kMagic << m_info.contentsFile << m_info.indexFile << m_info.defaultTopic << m_info.title
        << quint32(m_paths.size());
    for (const QString &path : m_paths)
        out << path << m_data.value(key(path));
    out << kEndMark;
    return bytes;
}

std::optional<THelpContent> THelpContent::fromBytes(const QByteArray &bytes)
{
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    quint32 magic = 0;
    quint32 count = 0;
    THelpContent content;
    in >> magic >> content.m_info.contentsFile >> content.m_info.indexFile >>
        content.m_info.defaultTopic >> content.m_info.title >> count;
    if (in.status() != QDataStream::Ok || magic != kMagic || count > quint32(kMaxFiles))
        return std::nullopt;
    for (quint32 i = 0; i < count; ++i) {
        QString path;
        QByteArray data;
        in >> path >> data;
        if (in.status() != QDataStream::Ok || !content.add(path, data))
            return std::nullopt;
    }
    quint32 end = 0;
    in >> end;
    if (in.status() != QDataStream::Ok || end != kEndMark || !in.atEnd())
        return std::nullopt;
    return content;
}
