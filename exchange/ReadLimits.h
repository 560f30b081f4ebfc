#pragma once

#include <QtGlobal>

// Bounds for reading a starter list. Real lists hold a few dozen rows of short texts; these are
// far above that and only keep a damaged or hostile file from taking unbounded time or memory.
namespace ReadLimits {

// Sheet columns A to J are read; the import never uses more.
constexpr int kSheetColumns = 10;
// The row count of the old workbook format, the largest list the grid is ever asked to take.
constexpr int kMaxStarterRows = 65536;
// The longest text a spreadsheet cell can hold.
constexpr int kMaxCellChars = 32767;
// All texts of a list together, in characters: a few hundred bytes a row in real lists.
constexpr qint64 kMaxListChars = 16 * 1024 * 1024;
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
// A CSV file is held twice while it is read, as bytes and as text of two bytes a character;
// half the file bound keeps that well under 200 MB. Its list is bounded by kMaxListChars.
constexpr qint64 kMaxCsvBytes = 32 * 1024 * 1024;
// Decompressed size of one XML part of a zipped workbook.
constexpr qint64 kMaxPartBytes = 256 * 1024 * 1024;
constexpr int kMaxSharedStrings = 1000000;
// Shared strings together, in bytes of UTF-8.
constexpr qint64 kMaxSharedBytes = 32 * 1024 * 1024;

} // namespace ReadLimits
