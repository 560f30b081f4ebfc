#include "BiffCellScan.h"

#include "CellText.h"
#include "ReadLimits.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr quint16 kBof = 0x0809;
constexpr quint16 kEof = 0x000A;
constexpr quint16 kBoundSheet = 0x0085;
constexpr quint16 kFormat = 0x041E;
constexpr quint16 kBiff8 = 0x0600;
constexpr quint16 kFormula = 0x0006;
constexpr quint16 kBoolErr = 0x0205;
constexpr quint16 kString = 0x0207;
constexpr quint16 kFilePass = 0x002F;
constexpr quint16 kDateMode = 0x0022;
constexpr quint16 kXf = 0x00E0;
// More cell formats than a workbook may hold (4,050 in the old format).
constexpr int kMaxXfs = 65536;
constexpr int kRecordHeader = 4;
constexpr int kBoolErrSize = 8;
constexpr int kFormulaSize = 20;
// A formula result whose last two bytes are 0xFFFF is no number; its first byte says what it is.
constexpr quint16 kNonNumberResult = 0xFFFF;
constexpr int kResultString = 0;
constexpr int kResultBoolean = 1;
constexpr int kResultError = 2;
constexpr int kResultEmpty = 3;

quint16 u16At(const char *data)
{
    return qFromLittleEndian<quint16>(data);
}

// The text of a STRING record: a character count, a flag byte (bit 0: two bytes a character)
// and the characters; without the flag byte in files before the 1997 format.
QString stringRecordText(const char *data, int size)
{
    if (size < 3)
        return QString();
    const int count = u16At(data);
    const bool wide = data[2] & 1;
    const int available = (size - 3) / (wide ? 2 : 1);
    const int length = std::min(count, available);
    if (wide) {
        QString text(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            text[i] = QChar(u16At(data + 3 + 2 * i));
        return text;
    }
    return QString::fromLatin1(data + 3, length);
}

// A FORMAT record: index, character count, flag byte (bit 0: two bytes a character),
// characters; before the 1997 format a one-byte count and no flags.
bool formatRecordFits(const char *data, int size, bool biff8)
{
    if (!biff8)
        return size >= 3 && 3 + static_cast<unsigned char>(data[2]) <= size;
    if (size < 5)
        return false;
    const int count = u16At(data + 2);
    const bool wide = data[4] & 1;
    return 5 + count * (wide ? 2 : 1) <= size;
}

// The index and code of a FORMAT record that formatRecordFits accepted.
int formatRecordIndex(const char *data)
{
    return u16At(data);
}

QString formatRecordCode(const char *data, bool biff8)
{
    if (!biff8)
        return QString::fromLatin1(data + 3, static_cast<unsigned char>(data[2]));
    const int count = u16At(data + 2);
    if (!(data[4] & 1))
        return QString::fromLatin1(data + 5, count);
    QString code(count, Qt::Uninitialized);
    for (int i = 0; i < count; ++i)
        code[i] = QChar(u16At(data + 5 + 2 * i));
    return code;
}

} // namespace

bool BiffCellScan::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool BiffCellScan::cellAt(int row, int column, SheetCell *cell) const
{
    const auto found = m_cells.constFind(key(row, column));
    if (found == m_cells.constEnd())
        return false;
    *cell = *found;
    return true;
}

bool BiffCellScan::isDateXf(int xf) const
{
    if (xf < 0 || xf >= m_xfFormats.size())
        return false;
    const int format = m_xfFormats.at(xf);
    return m_customDateFormats.contains(format) || CellText::isBuiltInDateFormat(format);
}

bool BiffCellScan::scan(const QByteArray &stream)
{
    m_cells.clear();
    m_error.clear();
    m_xfFormats.clear();
    m_customDateFormats.clear();
    m_date1904 = false;
    // The workbook globals come first and list the sheets with their stream positions.
    qsizetype offset = 0;
    bool first = true;
    bool biff8 = true;
    while (offset + kRecordHeader <= stream.size()) {
        const char *header = stream.constData() + offset;
        const quint16 type = u16At(header);
        const quint16 size = u16At(header + 2);
        const qsizetype body = offset + kRecordHeader;
        if (body + size > stream.size())
            return fail(QStringLiteral("ein Datensatz ist abgeschnitten"));
        if (first && (type != kBof || size < 2))
            return fail(QStringLiteral("der Anfang der Arbeitsmappe fehlt"));
        if (first)
            biff8 = u16At(stream.constData() + body) == kBiff8;
        first = false;
        // With a password the records after this one are encrypted and read as nonsense.
        if (type == kFilePass)
            return fail(QStringLiteral("sie ist mit einem Kennwort geschützt; bitte ohne "
                                       "Kennwort speichern"));
        if (type == kDateMode && size >= 2)
            m_date1904 = u16At(stream.constData() + body) == 1;
        if (type == kXf && size >= 4 && m_xfFormats.size() < kMaxXfs)
            m_xfFormats.append(u16At(stream.constData() + body + 2));
        // FreeXL copies a number format's text by its stated length; one that runs past its
        // record would make it read out of bounds.
        if (type == kFormat && !formatRecordFits(stream.constData() + body, size, biff8))
            return fail(QStringLiteral("ein Zahlenformat ist beschädigt"));
        if (type == kFormat &&
            CellText::isDateFormatCode(formatRecordCode(stream.constData() + body, biff8)))
            m_customDateFormats.insert(formatRecordIndex(stream.constData() + body));
        if (type == kBoundSheet && size >= 4)
            return scanSheet(stream, qFromLittleEndian<quint32>(stream.constData() + body));
        if (type == kEof)
            break;
        offset = body + size;
    }
    return fail(QStringLiteral("sie enthält kein Tabellenblatt"));
}

bool BiffCellScan::scanSheet(const QByteArray &stream, qsizetype offset)
{
    if (offset < 0 || offset + kRecordHeader > stream.size() ||
        u16At(stream.constData() + offset) != kBof)
        return fail(QStringLiteral("das erste Tabellenblatt fehlt"));
    // A formula that gives text is followed by a STRING record holding the text.
    bool awaitingString = false;
    quint32 stringCell = 0;
    while (offset + kRecordHeader <= stream.size()) {
        const char *header = stream.constData() + offset;
        const quint16 type = u16At(header);
        const quint16 size = u16At(header + 2);
        const char *data = header + kRecordHeader;
        if (offset + kRecordHeader + size > stream.size())
            return fail(QStringLiteral("ein Datensatz ist abgeschnitten"));
        offset += kRecordHeader + size;
        if (type == kEof)
            return true;

        if (type == kString && awaitingString) {
            QString text = stringRecordText(data, size);
            if (text.size() > ReadLimits::kMaxCellChars)
                text.truncate(ReadLimits::kMaxCellChars);
            m_cells.insert(stringCell, SheetCell{text, false});
            awaitingString = false;
            continue;
        }
        if ((type != kBoolErr || size < kBoolErrSize) && (type != kFormula || size < kFormulaSize))
            continue;
        awaitingString = false;
        const int row = u16At(data);
        const int column = u16At(data + 2);
        if (column >= ReadLimits::kSheetColumns)
            continue;
        SheetCell cell;
        if (type == kBoolErr) {
            const bool isError = data[7] != 0;
            cell.error = isError;
            if (!isError)
                cell.text = CellText::truthText(data[6] != 0);
        } else if (u16At(data + 12) == kNonNumberResult) {
            const int kind = static_cast<unsigned char>(data[6]);
            if (kind == kResultString) {
                awaitingString = true;
                stringCell = key(row, column);
            } else if (kind == kResultBoolean) {
                cell.text = CellText::truthText(data[8] != 0);
            } else if (kind == kResultError) {
                cell.error = true;
            } else if (kind != kResultEmpty) {
                continue;
            }
        } else {
            const quint64 bits = qFromLittleEndian<quint64>(data + 6);
            double number = 0;
            std::memcpy(&number, &bits, sizeof number);
            // A formula's result shows as a date when its cell's format is one (=TODAY()+3).
            cell.text = isDateXf(u16At(data + 4)) ? CellText::serialDateText(number, m_date1904)
                                                  : CellText::numberText(number);
        }
        m_cells.insert(key(row, column), cell);
    }
    return true;
}
