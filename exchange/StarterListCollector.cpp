#include "StarterListCollector.h"

#include "CellText.h"
#include "ReadLimits.h"

bool StarterListCollector::takeRow(int row, const SheetRow &cells)
{
    if (m_ended)
        return false;
    // A row left out by the reader is empty, so its column A ends the list.
    if (row != m_rows.size()) {
        m_ended = true;
        return false;
    }
    // A start number computed by a formula that was saved without its result would end the
    // list here unseen.
    if (!cells.isEmpty() && cells.first().noValue)
        return fail(QStringLiteral("Die Zelle A%1 enthält eine Formel ohne gespeichertes "
                                   "Ergebnis; die Liste würde dort enden. Bitte die Datei in "
                                   "einer Tabellenkalkulation öffnen, neu berechnen und wieder "
                                   "speichern.")
                        .arg(row + 1));
    if (cells.isEmpty() || (!cells.first().error && cells.first().text.isEmpty())) {
        m_ended = true;
        return false;
    }
    if (m_rows.size() >= ReadLimits::kMaxStarterRows)
        return fail(QStringLiteral("Die Starterliste hat mehr als %1 Zeilen; so lange Listen "
                                   "werden nicht gelesen.")
                        .arg(ReadLimits::kMaxStarterRows));

    QStringList texts;
    texts.reserve(ReadLimits::kSheetColumns);
    for (int column = 0; column < ReadLimits::kSheetColumns; ++column) {
        if (column >= cells.size()) {
            texts.append(QString());
            continue;
        }
        const SheetCell &cell = cells.at(column);
        if (cell.error)
            return fail(CellText::conversionErrorText());

        texts.append(cell.text);
        m_chars += cell.text.size();
    }
    // The same long text repeated in every cell would cost memory out of all proportion to
    // the file (shared strings, repeated cells).
    if (m_chars > ReadLimits::kMaxListChars)
        return fail(QStringLiteral("Die Texte der Starterliste sind zusammen länger als %1 "
                                   "Zeichen; so große Listen werden nicht gelesen.")
                        .arg(ReadLimits::kMaxListChars));
    m_rows.append(texts);
    return true;
}

bool StarterListCollector::fail(const QString &message)
{
    m_error = message;
    m_ended = true;
    return false;
}
