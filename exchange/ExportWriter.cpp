#include "ExportWriter.h"

#include "WholeFileWriter.h"

#include <QIODevice>

bool WriteExportBytes(QIODevice &device, const QByteArray &bytes, QString &errorString)
{
    errorString.clear();
    if (!device.isOpen() || !device.isWritable()) {
        errorString = QStringLiteral("Das Ziel ist nicht zum Schreiben geöffnet.");
        return false;
    }
    if (device.write(bytes) != bytes.size()) {
        errorString = device.errorString();
        if (errorString.isEmpty())
            errorString = QStringLiteral("Das Dokument konnte nicht ganz geschrieben werden.");
        return false;
    }
    return true;
}

bool WriteExportFile(const QString &fileName, const QByteArray &bytes, QString &errorString,
                     bool &createFailed)
{
    TWholeFileWriter file;
    const bool written = file.write(fileName, bytes);
    errorString = file.errorString();
    createFailed = file.createFailed();
    return written;
}
