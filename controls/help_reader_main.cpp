// talvenbahn-help-reader: reads a whole compiled help file with the reader library and writes
// it to standard output as one THelpContent message. The reader library is not safe on damaged
// files (it can crash or divide by zero), so it runs here, in a process of its own: a damaged
// help file ends this process, never the race program.
// Arguments: the reader library to load and the help file.
// Exit codes: 0 with the message on standard output; kUnreadable with a German reason on
// standard output when the file is no readable help file; anything else is a failure.

#include "ChmArchive.h"
#include "ChmLibrary.h"
#include "HelpContent.h"

#include <QFile>

#include <cstdio>

namespace {

constexpr int kUsage = 2;
constexpr int kUnreadable = 3;

int refuse(QFile &out, const QString &reason)
{
    out.write(reason.toUtf8());
    return kUnreadable;
}

} // namespace

int main(int argc, char *argv[])
{
    QFile out;
    if (argc != 3 || !out.open(stdout, QIODevice::WriteOnly))
        return kUsage;
    TChmLibrary library;
    if (!library.load(QFile::decodeName(argv[1])))
        return refuse(out,
                      QStringLiteral("die Lesebibliothek fehlt: %1").arg(library.errorString()));
    TChmArchive archive(library);
    if (!archive.open(QFile::decodeName(argv[2])))
        return refuse(out, archive.errorString());

    THelpContent content;
    content.setSystemInfo(archive.systemInfo());
    const QStringList files = archive.files();
    if (files.isEmpty())
        return refuse(out, QStringLiteral("sie enthält keine Seiten"));
    for (const QString &path : files) {
        const std::optional<QByteArray> data = archive.read(path);
        if (!data)
            return refuse(out, QStringLiteral("\"%1\" kann nicht gelesen werden").arg(path));
        if (!content.add(path, *data))
            return refuse(out, QStringLiteral("sie ist größer als %1 MB")
                                   .arg(THelpContent::kMaxTotalBytes / (1024 * 1024)));
    }
    out.write(content.toBytes());
    return 0;
}
