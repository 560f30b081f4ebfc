#include "XlsSheetReader.h"

#include "FuzzSheetReader.h"

#include <QCoreApplication>

// The reader runs FreeXL in its helper process; a fault there shows in this log as the helper's
// sanitizer report and must still end in a message here.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The helper process is started through QProcess, which wants an application object.
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzSheetReader<XlsSheetReader>(data, size);
}
