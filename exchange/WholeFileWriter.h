#pragma once

#include <QByteArray>
#include <QString>

// Puts bytes into a file all or nothing: they are written beside the file's place, synced
// and then moved there, so a failure (a full disk) leaves an earlier file whole and no
// partial file behind. A symbolic link at fileName is replaced, never followed. The file is
// readable by everyone, as one made with the usual umask would be.
class TWholeFileWriter
{
public:
    bool write(const QString &fileName, const QByteArray &bytes);

    QString errorString() const { return m_errorString; }
    // Whether the file could not even be begun (a folder in its place, no right to write).
    bool createFailed() const { return m_createFailed; }

private:
    QString m_errorString;
    bool m_createFailed = false;
};
