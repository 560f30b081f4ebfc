#pragma once

#include "SheetReader.h"
#include "StarterListCollector.h"

#include <QFile>
#include <QTest>

// Helpers shared by the starter-list tests: the fixtures the build writes, and rows as one
// line of text each ("7|Jürgen Groß", trailing empty cells left out) so a table can hold them.
namespace StarterListTestData {

inline QString fixturePath(const QString &name)
{
    return QStringLiteral(STARTER_FIXTURES_DIR "/") + name;
}

inline QByteArray fixture(const QString &name)
{
    QFile file(fixturePath(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("fixture %s is missing", qPrintable(name));
    return file.readAll();
}

inline QString rowText(const QStringList &row)
{
    QStringList cells = row;
    while (!cells.isEmpty() && cells.last().isEmpty())
        cells.removeLast();
    return cells.join(QLatin1Char('|'));
}

inline QStringList rowTexts(const StarterList &rows)
{
    QStringList texts;
    for (const QStringList &row : rows)
        texts.append(rowText(row));
    return texts;
}

struct Outcome
{
    bool ok = false;
    QString error;
    QStringList rows;
};

// Runs one reader over data into a starter list, as the import does.
inline Outcome readWith(SheetReader &reader, const QByteArray &data)
{
    StarterListCollector collector;
    Outcome outcome;
    outcome.ok = reader.read(data, collector);
    outcome.error = outcome.ok ? collector.errorString() : reader.errorString();
    outcome.ok = outcome.ok && collector.errorString().isEmpty();
    outcome.rows = rowTexts(collector.rows());
    return outcome;
}

} // namespace StarterListTestData
