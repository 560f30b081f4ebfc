#pragma once

#include <QByteArray>

// The live standings page: one self-contained HTML document with its style and script inline.
// It carries no race data; the script fetches the standings and writes every text with
// textContent, so nothing a driver's name holds can become markup.
QByteArray LivePageHtml();
