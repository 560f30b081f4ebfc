#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One entry of a help file's table of contents or keyword index: its text, the page it
// leads to (may be empty for a heading) and its depth, 0 for the outermost list.
struct THelpSitemapEntry
{
    QString name;
    QString local;
    int level = 0;

    bool operator==(const THelpSitemapEntry &) const = default;
};

// Reads the sitemap lists that a help file stores as its contents (.hhc) and index (.hhk).
class THelpSitemap
{
public:
    // Entries in document order; tags the format does not use are skipped, and a file that
    // is not a sitemap gives an empty list.
    static QList<THelpSitemapEntry> parse(const QByteArray &data);

    // The entries whose name contains the keyword, ignoring case: those starting with it
    // first, each group in index order. An empty keyword matches every entry.
    static QList<THelpSitemapEntry> match(const QList<THelpSitemapEntry> &entries,
                                          const QString &keyword);
};
