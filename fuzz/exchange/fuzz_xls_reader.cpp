#include "StarterListCollector.h"
#include "XlsSheetReader.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstddef>
#include <cstdint>

// Feeds arbitrary bytes to the .xls reader, as the import would: every input must be read or
// refused with a message, within bounded time and memory. The reader runs FreeXL in its helper
// process; a fault there shows in this log as the helper's sanitizer report and must still end
// in a message here.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The helper process is started through QProcess, which wants an application object.
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool localeSet = [] {
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        return true;
    }();
    Q_UNUSED(localeSet);
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    XlsSheetReader reader;
    StarterListCollector collector;
    if (!reader.read(bytes, collector) && reader.errorString().isEmpty())
        __builtin_trap(); // a refusal must say why
    return 0;
}
