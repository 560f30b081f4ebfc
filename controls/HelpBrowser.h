#pragma once

#include <QTextBrowser>

class TChmArchive;

// Shows the pages of an open help file: pages, style sheets and pictures are all read from
// the archive; links that leave the file go to the desktop's browser.
class THelpBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    explicit THelpBrowser(QWidget *parent = nullptr);

    // The archive must outlive the browser's use of it; nullptr shows nothing.
    void setArchive(const TChmArchive *archive);
    // The page's path inside the archive, such as "/index.htm", with an optional "#anchor".
    void showPage(const QString &path);
    // The page shown, as a path inside the archive without its anchor.
    QString currentPage() const;

    QVariant loadResource(int type, const QUrl &name) override;

private:
    const TChmArchive *m_archive = nullptr;
};
