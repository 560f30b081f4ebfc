#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes a document made as bytes from its input to an open device, or all or nothing to a
// file (see TWholeFileWriter), and keeps why it failed, in German where the reason is ours.
template <typename TInput> class TExportWriter
{
public:
    using TRender = QByteArray (*)(const TInput &);

    // False, with errorString(), if a write fails.
    bool write(QIODevice &device, const TInput &input)
    {
        return writeBytes(device, m_render(input));
    }
    // On failure an earlier file stays as it was and no partial file is left; createFailed()
    // tells whether the file could not even be begun.
    bool writeFile(const QString &fileName, const TInput &input)
    {
        return writeBytesToFile(fileName, m_render(input));
    }

    QString errorString() const { return m_errorString; }
    bool createFailed() const { return m_createFailed; }

protected:
    explicit TExportWriter(TRender render) : m_render(render) {}

private:
    bool writeBytes(QIODevice &device, const QByteArray &bytes);
    bool writeBytesToFile(const QString &fileName, const QByteArray &bytes);

    TRender m_render;
    QString m_errorString;
    bool m_createFailed = false;
};

// The two writes, shared by every kind of input.
bool WriteExportBytes(QIODevice &device, const QByteArray &bytes, QString &errorString);
bool WriteExportFile(const QString &fileName, const QByteArray &bytes, QString &errorString,
                     bool &createFailed);

template <typename TInput>
bool TExportWriter<TInput>::writeBytes(QIODevice &device, const QByteArray &bytes)
{
    m_createFailed = false;
    return WriteExportBytes(device, bytes, m_errorString);
}

template <typename TInput>
bool TExportWriter<TInput>::writeBytesToFile(const QString &fileName, const QByteArray &bytes)
{
    return WriteExportFile(fileName, bytes, m_errorString, m_createFailed);
}
