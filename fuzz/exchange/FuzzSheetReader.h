#pragma once

#include "StarterListCollector.h"

#include <QByteArray>
#include <QLocale>

#include <cstddef>
#include <cstdint>

// Feeds arbitrary bytes to one starter-list reader, as the import would: every input must be
// read or refused with a message, within bounded time and memory.
template <typename Reader> int FuzzSheetReader(const uint8_t *data, size_t size)
{
    static const bool localeSet = [] {
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        return true;
    }();
    Q_UNUSED(localeSet);
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    Reader reader;
    StarterListCollector collector;
    if (!reader.read(bytes, collector) && reader.errorString().isEmpty())
        __builtin_trap(); // a refusal must say why
    return 0;
}
