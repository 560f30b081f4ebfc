#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reads one stream out of a compound file (the container of the old binary workbook format):
// header, allocation tables, directory and the small-stream area. Every sector chain is checked
// against the file, so a damaged container gives an error instead of a loop or a wild read.
class CompoundFile
{
public:
    static bool isCompoundFile(const QByteArray &data);

    // The first stream whose name is one of names (case ignored); false with errorString().
    bool readStream(const QByteArray &data, const QStringList &names, QByteArray *stream);
    QString errorString() const { return m_error; }

private:
    bool fail(const QString &message);
    bool readFat();
    bool readChain(quint32 start, const QList<quint32> &table, QByteArray *content);
    bool readMiniStream(quint32 start, quint64 size, quint32 rootStart, QByteArray *stream);

    QByteArray m_data;
    int m_sectorSize = 512;
    qsizetype m_sectorCount = 0;
    QList<quint32> m_fat;
    QString m_error;
};
