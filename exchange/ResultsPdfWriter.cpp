#include "ResultsPdfWriter.h"

#include "ResultsPrint.h"
#include "WholeFileWriter.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

namespace {

constexpr double kMarginMm = 15;

} // namespace

QByteArray TResultsPdfWriter::pdf(const TResultsSnapshot &snapshot)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                              QPageLayout::Millimeter);
        writer.setTitle(snapshot.title);
        writer.setCreator(snapshot.appTitle);
        printResults(writer, snapshot);
    } // the writer finishes the file when it goes
    return buffer.data();
}

bool TResultsPdfWriter::write(QIODevice &device, const TResultsSnapshot &snapshot)
{
    m_errorString.clear();
    m_createFailed = false;
    const QByteArray bytes = pdf(snapshot);
    if (device.write(bytes) != bytes.size()) {
        m_errorString = device.errorString();
        return false;
    }
    return true;
}

bool TResultsPdfWriter::writeFile(const QString &fileName, const TResultsSnapshot &snapshot)
{
    TWholeFileWriter file;
    const bool written = file.write(fileName, pdf(snapshot));
    m_errorString = file.errorString();
    m_createFailed = file.createFailed();
    return written;
}
