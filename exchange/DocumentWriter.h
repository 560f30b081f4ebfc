#pragma once

#include "ResultsSnapshot.h"

#include <QByteArray>
#include <QString>

class QIODevice;

// What every results document shares: it is made as bytes from the snapshot, then written to an
// open device or all or nothing to a file (see TWholeFileWriter).
class TDocumentWriter
{
public:
    using TRender = QByteArray (*)(const TResultsSnapshot &);

    // Writes the document to an open device; false, with errorString(), if a write fails.
    bool write(QIODevice &device, const TResultsSnapshot &snapshot);
    // Writes the document to fileName, all or nothing: on failure an earlier file stays as it
    // was, no partial file is left, errorString() says why and createFailed() tells whether the
    // file could not even be begun. A symbolic link at fileName is replaced, never followed.
    bool writeFile(const QString &fileName, const TResultsSnapshot &snapshot);

    QString errorString() const { return m_errorString; }
    bool createFailed() const { return m_createFailed; }

protected:
    explicit TDocumentWriter(TRender render) : m_render(render) {}

private:
    TRender m_render;
    QString m_errorString;
    bool m_createFailed = false;
};
