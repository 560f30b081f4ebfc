#include "CompoundFile.h"

#include <QtEndian>

namespace {

const QByteArray kSignature = QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
constexpr int kHeaderSize = 512;
constexpr int kHeaderFatSlots = 109;
constexpr int kDirectoryEntrySize = 128;
constexpr int kMiniSectorSize = 64;
constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kMaxRegularSector = 0xFFFFFFFA;
constexpr int kStreamEntry = 2;

quint16 u16At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint16>(data.constData() + offset);
}

quint32 u32At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint32>(data.constData() + offset);
}

quint64 u64At(const QByteArray &data, qsizetype offset)
{
    return qFromLittleEndian<quint64>(data.constData() + offset);
}

} // namespace

bool CompoundFile::isCompoundFile(const QByteArray &data)
{
    return data.startsWith(kSignature);
}

bool CompoundFile::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool CompoundFile::readStream(const QByteArray &data, const QStringList &names, QByteArray *stream)
{
    m_data = data;
    m_error.clear();
    m_fat.clear();
    if (data.size() < kHeaderSize || !isCompoundFile(data))
        return fail(QStringLiteral("der Dateikopf fehlt"));
    const quint16 sectorShift = u16At(data, 0x1E);
    if (sectorShift != 9 && sectorShift != 12)
        return fail(QStringLiteral("ungültige Sektorgröße"));
    m_sectorSize = 1 << sectorShift;
    m_sectorCount = (data.size() - kHeaderSize) / m_sectorSize + 1;
    if (!readFat())
        return false;

    QByteArray directory;
    if (!readChain(u32At(data, 0x30), m_fat, &directory))
        return false;
    const quint32 miniCutoff = u32At(data, 0x38);
    quint32 rootStart = kEndOfChain;
    for (qsizetype offset = 0; offset + kDirectoryEntrySize <= directory.size();
         offset += kDirectoryEntrySize) {
        const quint16 nameBytes = u16At(directory, offset + 0x40);
        const int type = static_cast<unsigned char>(directory.at(offset + 0x42));
        const quint32 start = u32At(directory, offset + 0x74);
        quint64 size = u64At(directory, offset + 0x78);
        if (m_sectorSize == 512)
            size &= 0xFFFFFFFF; // the high word is undefined in version 3 files
        if (offset == 0) {
            rootStart = start;
            continue;
        }
        if (type != kStreamEntry || nameBytes < 2 || nameBytes > 64)
            continue;
        const QString name = QString::fromUtf16(
            reinterpret_cast<const char16_t *>(directory.constData() + offset), nameBytes / 2 - 1);
        if (!names.contains(name, Qt::CaseInsensitive))
            continue;
        if (size > quint64(data.size()))
            return fail(QStringLiteral("der Datenstrom ist länger als die Datei"));
        if (size < miniCutoff)
            return readMiniStream(start, size, rootStart, stream);
        if (!readChain(start, m_fat, stream))
            return false;
        if (quint64(stream->size()) < size)
            return fail(QStringLiteral("der Datenstrom ist abgeschnitten"));
        stream->truncate(qsizetype(size));
        return true;
    }
    return fail(QStringLiteral("sie enthält keine Arbeitsmappe"));
}

bool CompoundFile::readFat()
{
    const qsizetype sectorCount = m_sectorCount;
    const quint32 fatSectors = u32At(m_data, 0x2C);
    if (fatSectors > quint64(sectorCount))
        return fail(QStringLiteral("die Belegungstabelle ist größer als die Datei"));

    QList<quint32> fatSectorList;
    for (int i = 0; i < kHeaderFatSlots && fatSectorList.size() < qsizetype(fatSectors); ++i)
        fatSectorList.append(u32At(m_data, 0x4C + 4 * i));
    // Further table sectors are listed in a chain of index sectors.
    quint32 indexSector = u32At(m_data, 0x44);
    qsizetype steps = 0;
    const int slotsPerIndexSector = m_sectorSize / 4 - 1;
    while (fatSectorList.size() < qsizetype(fatSectors)) {
        if (indexSector > kMaxRegularSector || ++steps > sectorCount)
            return fail(QStringLiteral("die Belegungstabelle ist unvollständig"));
        const qint64 offset = (qint64(indexSector) + 1) * m_sectorSize;
        if (offset + m_sectorSize > m_data.size())
            return fail(QStringLiteral("die Belegungstabelle zeigt hinter das Dateiende"));
        for (int i = 0; i < slotsPerIndexSector && fatSectorList.size() < qsizetype(fatSectors);
             ++i)
            fatSectorList.append(u32At(m_data, offset + 4 * i));
        indexSector = u32At(m_data, offset + 4 * slotsPerIndexSector);
    }

    m_fat.reserve(fatSectorList.size() * (m_sectorSize / 4));
    for (const quint32 sector : fatSectorList) {
        const qint64 offset = (qint64(sector) + 1) * m_sectorSize;
        if (sector > kMaxRegularSector || offset + m_sectorSize > m_data.size())
            return fail(QStringLiteral("die Belegungstabelle zeigt hinter das Dateiende"));
        for (int i = 0; i < m_sectorSize / 4; ++i)
            m_fat.append(u32At(m_data, offset + 4 * i));
    }
    return true;
}

bool CompoundFile::readChain(quint32 start, const QList<quint32> &table, QByteArray *content)
{
    content->clear();
    quint32 sector = start;
    qsizetype steps = 0;
    while (sector != kEndOfChain) {
        // A chain longer than the file has a loop.
        if (sector >= quint64(table.size()) || ++steps > m_sectorCount)
            return fail(QStringLiteral("eine Sektorkette ist beschädigt"));
        const qint64 offset = (qint64(sector) + 1) * m_sectorSize;
        if (offset + m_sectorSize > m_data.size()) {
            // The last sector of a file may be cut short.
            if (offset >= m_data.size())
                return fail(QStringLiteral("eine Sektorkette zeigt hinter das Dateiende"));
            content->append(m_data.constData() + offset, m_data.size() - offset);
        } else {
            content->append(m_data.constData() + offset, m_sectorSize);
        }
        sector = table.at(sector);
    }
    return true;
}

bool CompoundFile::readMiniStream(quint32 start, quint64 size, quint32 rootStart,
                                  QByteArray *stream)
{
    QByteArray miniArea;
    if (!readChain(rootStart, m_fat, &miniArea))
        return false;
    QByteArray miniFatBytes;
    if (!readChain(u32At(m_data, 0x3C), m_fat, &miniFatBytes))
        return false;
    QList<quint32> miniFat;
    miniFat.reserve(miniFatBytes.size() / 4);
    for (qsizetype offset = 0; offset + 4 <= miniFatBytes.size(); offset += 4)
        miniFat.append(u32At(miniFatBytes, offset));

    stream->clear();
    quint32 sector = start;
    qsizetype steps = 0;
    while (sector != kEndOfChain && quint64(stream->size()) < size) {
        if (sector >= quint64(miniFat.size()) || ++steps > miniArea.size() / kMiniSectorSize)
            return fail(QStringLiteral("eine kleine Sektorkette ist beschädigt"));
        const qint64 offset = qint64(sector) * kMiniSectorSize;
        if (offset + kMiniSectorSize > miniArea.size())
            return fail(QStringLiteral("eine kleine Sektorkette zeigt hinter ihren Bereich"));
        stream->append(miniArea.constData() + offset, kMiniSectorSize);
        sector = miniFat.at(sector);
    }
    if (quint64(stream->size()) < size)
        return fail(QStringLiteral("der Datenstrom ist abgeschnitten"));
    stream->truncate(qsizetype(size));
    return true;
}
