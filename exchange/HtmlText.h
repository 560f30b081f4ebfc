#pragma once

#include <QByteArray>
#include <QString>

// Escapes the characters that would otherwise be read as markup (&, <, > and ") in a text
// taken from the user, so a name cannot change the page around it.
QString HtmlEscaped(const QString &text);

// Encodes text as ISO 8859-1 bytes; a character beyond that set becomes a numeric character
// reference (&#321; for "Ł"), and a broken surrogate becomes the replacement character.
QByteArray Latin1WithReferences(const QString &text);

// HtmlEscaped, and without the characters that a UTF-8 page that is also well-formed XML
// cannot hold (control characters other than tab and line breaks, broken surrogates, which
// become the replacement character), so a stray byte from a starter list cannot break it.
QString MarkupText(const QString &text);
