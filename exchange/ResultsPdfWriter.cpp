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
