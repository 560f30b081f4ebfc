// talvenbahn-xls-reader: reads the starter list of one .xls file with FreeXL and writes its
// rows to standard output (XlsRowStream). It runs as a process of its own so that a damaged
// workbook that throws FreeXL off course can only end this process, never the race program.
// Arguments: the file name and the locale name for the cell texts ("de_DE", "C").

#include "ReadLimits.h"
#include "StarterListCollector.h"
#include "XlsInProcessReader.h"
#include "XlsRowStream.h"

#include <QFile>
#include <QLocale>

namespace {

// Sends every row on while the list goes on; the collector finds where the list ends, so only
// the rows the program needs cross over.
class ForwardingSink : public SheetRowSink
{
public:
    explicit ForwardingSink(QIODevice &out) : m_out(out) {}
    bool takeRow(int row, const SheetRow &cells) override
    {
        XlsRowStream::writeRow(m_out, row, cells);
        return m_collector.takeRow(row, cells);
    }

private:
    QIODevice &m_out;
    StarterListCollector m_collector;
};

} // namespace

int main(int argc, char *argv[])
{
    QFile out;
    if (argc != 3 || !out.open(stdout, QIODevice::WriteOnly))
        return 2;
    QLocale::setDefault(QLocale(QString::fromLocal8Bit(argv[2])));
    XlsInProcessReader reader;
    ForwardingSink sink(out);
    const bool ok = reader.readFile(QFile::decodeName(argv[1]), sink);
    XlsRowStream::writeEnd(out, ok, reader.errorString());
    return 0;
}
