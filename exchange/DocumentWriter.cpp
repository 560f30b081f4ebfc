#include "DocumentWriter.h"

#include "WholeFileWriter.h"

#include <QIODevice>

bool TDocumentWriter::write(QIODevice &device, const TResultsSnapshot &snapshot)
{
    m_errorString.clear();
    m_createFailed = false;
    const QByteArray bytes = m_render(snapshot);
    if (device.write(bytes) != bytes.size()) {
        m_errorString = device.errorString();
        return false;
    }
    return true;
}

bool TDocumentWriter::writeFile(const QString &fileName, const TResultsSnapshot &snapshot)
{
    TWholeFileWriter file;
    const bool written = file.write(fileName, m_render(snapshot));
    m_errorString = file.errorString();
    m_createFailed = file.createFailed();
    return written;
}
