#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class TChmLibrary;
struct chmFile;

// What the compiler of a help file records about it in the file's system object.
struct TChmSystemInfo
{
    QString contentsFile;
    QString indexFile;
    QString defaultTopic;
    QString title;
};

// One open compiled help file, read through the loaded reader library. Paths inside the file
// may be given with or without the leading "/".
class TChmArchive
{
public:
    // The library must stay loaded for as long as the archive is open.
    explicit TChmArchive(const TChmLibrary &library);
    ~TChmArchive();
    TChmArchive(const TChmArchive &) = delete;
    TChmArchive &operator=(const TChmArchive &) = delete;

    // False when the file cannot be opened or is shorter than its header says; errorString()
    // then tells why.
    bool open(const QString &fileName);
    QString errorString() const { return m_error; }
    void close();
    bool isOpen() const { return m_file != nullptr; }
    QString fileName() const { return m_fileName; }

    // The object's bytes, or nothing when the file holds no such object or it cannot be read.
    std::optional<QByteArray> read(const QString &path) const;
    bool contains(const QString &path) const;
    // Every page, picture and project file stored in the archive, each with its leading "/".
    QStringList files() const;

    // Taken from the system object, or else from the first stored file of the right kind.
    const TChmSystemInfo &systemInfo() const { return m_info; }

    // Reads the records of a system object; a truncated or garbled object gives what could be
    // read before the damage.
    static TChmSystemInfo parseSystemObject(const QByteArray &data);
    static QString normalizedPath(const QString &path);
    // The file length that the header of a help file records, or nothing when the bytes do not
    // start with such a header. The reader library does not check it: a file cut short reads
    // as pages full of zero bytes.
    static std::optional<quint64> recordedLength(const QByteArray &head);
    // Enough of the file's start to find its recorded length.
    static constexpr int kHeadBytes = 4096;

private:
    void readSystemInfo();

    const TChmLibrary &m_library;
    chmFile *m_file = nullptr;
    QString m_fileName;
    QString m_error;
    TChmSystemInfo m_info;
};
