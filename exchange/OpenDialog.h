#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// The file-open dialog of the starter list: filters, the chosen filter (FilterIndex counts from
// 1), and the file name, kept between uses. A name typed without extension becomes the file
// that exists with one of the filters' extensions (the chosen filter's first), and gets the
// default extension only when there is none. Tests answer it in advance with
// PrepareAnswer/PrepareCancel; while answers are queued, Execute takes the next one instead of
// showing the dialog, and OfferedFileNames records the name the dialog offered each time.
class TOpenDialog
{
public:
    QString FileName;
    QString DefaultExt;
    QStringList Filter;
    int FilterIndex = 1;
    QString Title;

    // True when the user chose a file (FileName, FilterIndex), false when cancelled.
    bool Execute(QWidget *parent);

    void PrepareAnswer(const QString &fileName, int filterIndex = 1);
    void PrepareCancel();
    // Confirms the name the dialog offers as it stands, as Enter does.
    void PrepareEnter();
    int PreparedAnswerCount() const { return int(m_prepared.size()); }
    // The extensions of the filters ("xls", "xlsx"...), those of filterIndex first.
    QStringList OfferedExtensions(int filterIndex) const;
    QStringList OfferedFileNames() const { return m_offered; }

private:
    struct Answer
    {
        bool chosen;
        bool asOffered;
        QString fileName;
        int filterIndex;
    };
    void Accept(const QString &fileName, int filterIndex);

    QList<Answer> m_prepared;
    QStringList m_offered;
};

// The dialog of the starter-list command: every list format first, then workbooks,
// OpenDocument and CSV each on their own.
TOpenDialog StarterListOpenDialog();

// A file name without its extension ("C:/listen/lauf.xls" gives "C:/listen/lauf").
QString WithoutExtension(const QString &fileName);
