#include "ChmArchive.h"

#include "ChmLibrary.h"

#include <QFile>
#include <QSet>
#include <QtEndian>

namespace {

// A help file's objects are pages and pictures; anything claiming to be larger is damage.
constexpr LONGUINT64 kMaxObjectSize = 64 * 1024 * 1024;

constexpr const char *kSystemObject = "/#SYSTEM";
constexpr int kSystemVersionSize = 4;
constexpr int kSystemRecordHeaderSize = 4;

// The file header: its signature, then a table of two header sections; the first of these
// records the length of the whole file.
constexpr QByteArrayView kFileSignature("ITSF");
constexpr int kSectionTableAt = 0x38;
constexpr int kLengthInSection = 8;
constexpr int kSectionMinSize = kLengthInSection + 8;

enum TSystemCode : quint16 {
    scContentsFile = 0,
    scIndexFile = 1,
    scDefaultTopic = 2,
    scTitle = 3,
};

QString recordText(const char *data, int size)
{
    // Texts in the records end with a NUL byte inside the record.
    const QByteArrayView bytes(data, size);
    const qsizetype end = bytes.indexOf('\0');
    return QString::fromUtf8(end < 0 ? bytes : bytes.first(end));
}

// A damaged directory can chain its chunks into a circle, which the reader library follows for
// ever: the walk ends at the first entry seen twice, or when there are more than a help file
// ever holds.
constexpr qsizetype kMaxEntries = 100000;

struct TFileCollection
{
    QStringList files;
    QSet<QString> seen;
};

int collectFile(chmFile *, chmUnitInfo *info, void *context)
{
    auto *collection = static_cast<TFileCollection *>(context);
    const QString path = QString::fromUtf8(info->path);
    if (collection->seen.contains(path) || collection->seen.size() >= kMaxEntries)
        return CHM_ENUMERATOR_SUCCESS;
    collection->seen.insert(path);
    if (path.startsWith(u'/') && !path.endsWith(u'/') && !path.startsWith(u"/#") &&
        !path.startsWith(u"/$"))
        collection->files.append(path);
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

TChmArchive::TChmArchive(const TChmLibrary &library) : m_library(library) {}

TChmArchive::~TChmArchive()
{
    close();
}

std::optional<quint64> TChmArchive::recordedLength(const QByteArray &head)
{
    if (!head.startsWith(kFileSignature) || head.size() < kSectionTableAt + 16)
        return std::nullopt;
    const auto sectionAt = qFromLittleEndian<quint64>(head.constData() + kSectionTableAt);
    const auto sectionSize = qFromLittleEndian<quint64>(head.constData() + kSectionTableAt + 8);
    if (sectionSize < quint64(kSectionMinSize) ||
        sectionAt > quint64(head.size() - kSectionMinSize))
        return std::nullopt;
    return qFromLittleEndian<quint64>(head.constData() + sectionAt + kLengthInSection);
}

bool TChmArchive::open(const QString &fileName)
{
    close();
    if (!m_library.isLoaded()) {
        m_error = QStringLiteral("die Lesebibliothek ist nicht geladen");
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return false;
    }
    const std::optional<quint64> length = recordedLength(file.read(kHeadBytes));
    if (!length) {
        m_error = QStringLiteral("sie ist keine Hilfedatei");
        return false;
    }
    if (*length > quint64(file.size())) {
        m_error = QStringLiteral("sie ist kürzer (%1 Bytes), als ihr Kopf angibt (%2 Bytes)")
                      .arg(file.size())
                      .arg(*length);
        return false;
    }
    file.close();
    m_file = m_library.open(QFile::encodeName(fileName).constData());
    if (m_file == nullptr) {
        m_error = QStringLiteral("sie ist keine lesbare Hilfedatei");
        return false;
    }
    m_fileName = fileName;
    readSystemInfo();
    return true;
}

void TChmArchive::close()
{
    if (m_file != nullptr && m_library.isLoaded())
        m_library.close(m_file);
    m_file = nullptr;
    m_fileName.clear();
    m_error.clear();
    m_info = {};
}

QString TChmArchive::normalizedPath(const QString &path)
{
    return path.startsWith(u'/') ? path : u'/' + path;
}

std::optional<QByteArray> TChmArchive::read(const QString &path) const
{
    if (m_file == nullptr)
        return std::nullopt;
    chmUnitInfo info{};
    const QByteArray name = normalizedPath(path).toUtf8();
    if (m_library.resolveObject(m_file, name.constData(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (info.length > kMaxObjectSize)
        return std::nullopt;
    QByteArray data(static_cast<qsizetype>(info.length), Qt::Uninitialized);
    const LONGINT64 got =
        info.length == 0 ? 0
                         : m_library.retrieveObject(m_file, &info,
                                                    reinterpret_cast<unsigned char *>(data.data()),
                                                    0, static_cast<LONGINT64>(info.length));
    if (got != static_cast<LONGINT64>(info.length))
        return std::nullopt;
    return data;
}

bool TChmArchive::contains(const QString &path) const
{
    if (m_file == nullptr)
        return false;
    chmUnitInfo info{};
    const QByteArray name = normalizedPath(path).toUtf8();
    return m_library.resolveObject(m_file, name.constData(), &info) == CHM_RESOLVE_SUCCESS;
}

QStringList TChmArchive::files() const
{
    TFileCollection collection;
    if (m_file != nullptr)
        m_library.enumerate(m_file, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, collectFile,
                            &collection);
    return collection.files;
}

TChmSystemInfo TChmArchive::parseSystemObject(const QByteArray &data)
{
    TChmSystemInfo info;
    qsizetype at = kSystemVersionSize;
    while (at + kSystemRecordHeaderSize <= data.size()) {
        const auto code = qFromLittleEndian<quint16>(data.constData() + at);
        const auto size = qFromLittleEndian<quint16>(data.constData() + at + 2);
        at += kSystemRecordHeaderSize;
        if (at + size > data.size())
            break;
        const QString text = recordText(data.constData() + at, size);
        switch (code) {
        case scContentsFile:
            info.contentsFile = text;
            break;
        case scIndexFile:
            info.indexFile = text;
            break;
        case scDefaultTopic:
            info.defaultTopic = text;
            break;
        case scTitle:
            info.title = text;
            break;
        default:
            break;
        }
        at += size;
    }
    return info;
}

void TChmArchive::readSystemInfo()
{
    if (const auto system = read(QString::fromLatin1(kSystemObject)))
        m_info = parseSystemObject(*system);
    if (!m_info.contentsFile.isEmpty() && !m_info.indexFile.isEmpty())
        return;
    // Older compilers leave the project files out of the system object.
    const QStringList stored = files();
    for (const QString &path : stored) {
        if (m_info.contentsFile.isEmpty() && path.endsWith(u".hhc", Qt::CaseInsensitive))
            m_info.contentsFile = path;
        if (m_info.indexFile.isEmpty() && path.endsWith(u".hhk", Qt::CaseInsensitive))
            m_info.indexFile = path;
    }
}
