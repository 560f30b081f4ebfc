#pragma once

#include <QTextBrowser>

class THelpContent;

// Shows the pages of a help file: pages, style sheets and pictures are all taken from its
// content; links that leave the file go to the desktop's browser.
class THelpBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    explicit THelpBrowser(QWidget *parent = nullptr);

    // The content must outlive the browser's use of it; nullptr shows nothing.
    void setContent(const THelpContent *content);
    // The page's path inside the help file, such as "/index.htm", with an optional "#anchor".
    void showPage(const QString &path);
    // The page shown, as a path inside the help file without its anchor.
    QString currentPage() const;

    QVariant loadResource(int type, const QUrl &name) override;

private:
    const THelpContent *m_content = nullptr;
};
