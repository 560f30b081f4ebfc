#include "ChmArchive.h"
#include "HelpContent.h"
#include "HelpFileReader.h"
#include "HelpSitemap.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// Altered help files, read the way the help window reads them: the helper process must answer
// every file with its content or a reason, within its limits, and what comes back must hold
// together. The reader library's faults show in this log as the helper's sanitizer reports;
// here they must end as "damaged", never as a crash of this process.

namespace {

constexpr int kReadTimeoutMs = 60000;

struct TOutcomes
{
    long read = 0;
    long refused = 0;
    long failed = 0;
};

TOutcomes &outcomes()
{
    static TOutcomes counts;
    return counts;
}

void printOutcomes()
{
    const TOutcomes &counts = outcomes();
    std::fprintf(stderr,
                 "help reader outcomes: read %ld, refused by the helper %ld, helper crashed or "
                 "gave no answer %ld\n",
                 counts.read, counts.refused, counts.failed);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The helper process is started through QProcess, which wants an application object.
    static QCoreApplication application(*argc, *argv);
    std::atexit(printOutcomes);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir folder;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    // Our own readers see the raw bytes too: they must never trust them.
    (void)TChmArchive::recordedLength(bytes.first(qMin<qsizetype>(size, TChmArchive::kHeadBytes)));
    (void)TChmArchive::parseSystemObject(bytes);
    (void)THelpSitemap::parse(bytes);
    (void)THelpContent::fromBytes(bytes);

    QFile file(folder.filePath(QStringLiteral("Talvenbahn.chm")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        __builtin_trap();
    file.close();

    THelpFileReader reader(QStringLiteral("libchm.so.1"));
    reader.start(file.fileName());
    if (!reader.waitForDone(kReadTimeoutMs))
        __builtin_trap(); // the helper's own deadline must end every read
    const auto content = reader.content();
    if (!content) {
        if (reader.errorString().isEmpty() || !reader.fileIsDamaged())
            __builtin_trap(); // a failure must say why, and a file fault is no missing helper
        ++(reader.errorString().startsWith(u"das Lese") ? outcomes().failed : outcomes().refused);
        return 0;
    }
    ++outcomes().read;
    const TChmSystemInfo &info = content->systemInfo();
    (void)THelpSitemap::parse(content->read(info.contentsFile).value_or(QByteArray()));
    (void)THelpSitemap::parse(content->read(info.indexFile).value_or(QByteArray()));
    if (!THelpContent::fromBytes(content->toBytes()))
        __builtin_trap(); // what the program accepted must survive another round
    return 0;
}
