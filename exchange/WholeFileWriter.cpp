#include "WholeFileWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions kFilePermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
    QFileDevice::ReadOther;

} // namespace

bool TWholeFileWriter::write(const QString &fileName, const QByteArray &bytes)
{
    m_errorString.clear();
    m_createFailed = false;
    const QFileInfo target(fileName);
    if (target.isDir() && !target.isSymLink()) {
        m_errorString = QStringLiteral("An dieser Stelle liegt ein Ordner.");
        m_createFailed = true;
        return false;
    }
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!temp.open()) {
        m_errorString = temp.errorString();
        m_createFailed = true;
        return false;
    }
    if (temp.write(bytes) != bytes.size()) {
        m_errorString = temp.errorString();
        return false;
    }
    if (!temp.flush() || ::fsync(temp.handle()) != 0) {
        m_errorString = temp.error() != QFileDevice::NoError
                            ? temp.errorString()
                            : QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    temp.setPermissions(kFilePermissions);
    if (::rename(QFile::encodeName(temp.fileName()).constData(),
                 QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        m_errorString = QString::fromLocal8Bit(strerror(errno));
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}
