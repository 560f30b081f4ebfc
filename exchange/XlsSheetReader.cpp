#include "XlsSheetReader.h"

#include "BiffCellScan.h"
#include "CompoundFile.h"
#include "InstallPaths.h"
#include "ReadLimits.h"
#include "SanitizerBuild.h"
#include "XlsRowStream.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QTemporaryFile>

#include <sys/resource.h>

namespace {

const QString kFormat = QStringLiteral("Excel-Arbeitsmappen (.xls)");
const QString kHelperName = QStringLiteral("talvenbahn-xls-reader");
// A real list takes the helper well under a second.
constexpr int kHelperTimeoutMs = 30000;
// Rows of at most ReadLimits::kMaxListChars characters, with their framing.
constexpr qint64 kMaxHelperOutput = 4 * ReadLimits::kMaxListChars;
constexpr rlim_t kHelperMemoryBytes = rlim_t(2) * 1024 * 1024 * 1024;

} // namespace

QString XlsSheetReader::helperPath()
{
    return InstallPaths::helperProgram(kHelperName);
}

bool XlsSheetReader::read(const QByteArray &data, SheetRowSink &sink)
{
    clearError();
    // The container and record checks are our own code and safe to run here; they give the
    // clearer message for most damaged files.
    CompoundFile container;
    QByteArray stream;
    if (!container.readStream(data, {QStringLiteral("Workbook"), QStringLiteral("Book")}, &stream))
        return failDamaged(kFormat, container.errorString());
    BiffCellScan scan;
    if (!scan.scan(stream))
        return failDamaged(kFormat, scan.errorString());

    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/talvenbahn-XXXXXX.xls"));
    if (!file.open() || file.write(data) != data.size() || !file.flush())
        return fail(QStringLiteral("Die Starterliste kann nicht zwischengespeichert werden: %1")
                        .arg(file.errorString()));

    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.setChildProcessModifier([] {
        // The address sanitizer reserves far more address space than it uses.
        if (!kAddressSanitizerBuild) {
            const rlimit limit{kHelperMemoryBytes, kHelperMemoryBytes};
            setrlimit(RLIMIT_AS, &limit);
        }
    });
    helper.start(m_helperPath, {file.fileName(), QLocale().name()});
    if (!helper.waitForStarted())
        return fail(QStringLiteral("Das Hilfsprogramm %1 zum Lesen von .xls-Dateien kann nicht "
                                   "gestartet werden: %2")
                        .arg(m_helperPath, helper.errorString()));

    QByteArray output;
    const QDeadlineTimer deadline(kHelperTimeoutMs);
    while (helper.state() != QProcess::NotRunning) {
        if (deadline.hasExpired()) {
            helper.kill();
            helper.waitForFinished();
            return failDamaged(
                kFormat,
                QStringLiteral("das Lesen dauert länger als %1 s").arg(kHelperTimeoutMs / 1000));
        }
        helper.waitForReadyRead(int(std::min<qint64>(deadline.remainingTime(), 1000)));
        output += helper.readAllStandardOutput();
        if (output.size() > kMaxHelperOutput) {
            helper.kill();
            helper.waitForFinished();
            return fail(QStringLiteral("Die Starterliste ist größer als %1 MB; so große Listen "
                                       "werden nicht gelesen.")
                            .arg(kMaxHelperOutput / (1024 * 1024)));
        }
    }
    output += helper.readAllStandardOutput();

    bool ok = false;
    QString error;
    if (helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0 ||
        !XlsRowStream::replay(output, sink, &ok, &error))
        return failDamaged(kFormat, QStringLiteral("das Lesen wurde abgebrochen"));
    return ok ? true : fail(error);
}
