#include "HtmlHelpAPI.h"

namespace {

const QString kPageSeparator = QStringLiteral("::");

} // namespace

THtmlHelpTarget SplitHelpTarget(const QString &fileArgument)
{
    const qsizetype separator = fileArgument.indexOf(kPageSeparator);
    if (separator < 0)
        return {fileArgument.trimmed(), {}};
    return {fileArgument.left(separator).trimmed(),
            fileArgument.mid(separator + kPageSeparator.size()).trimmed()};
}
