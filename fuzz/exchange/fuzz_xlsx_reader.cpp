#include "XlsxSheetReader.h"

#include "FuzzSheetReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return FuzzSheetReader<XlsxSheetReader>(data, size);
}
