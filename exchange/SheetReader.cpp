#include "SheetReader.h"

#include "ReadLimits.h"

bool SheetReader::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool SheetReader::failDamaged(const QString &format, const QString &detail)
{
    return fail(QStringLiteral("Die Datei ist keine lesbare %1-Datei oder beschädigt: %2")
                    .arg(format, detail));
}

bool SheetReader::failCellTooLong()
{
    return fail(QStringLiteral("Eine Zelle der Starterliste enthält mehr als %1 Zeichen; so "
                               "lange Texte werden nicht gelesen.")
                    .arg(ReadLimits::kMaxCellChars));
}
