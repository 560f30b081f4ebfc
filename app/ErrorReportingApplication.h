#pragma once

#include <QApplication>
#include <QString>

#include <functional>

// The program's application object. An error (an exception) that escapes an event handler is
// not allowed to end the program in the middle of a race: its text is shown in a message box
// and the program goes on with the next event.
class TErrorReportingApplication : public QApplication
{
    Q_OBJECT

public:
    TErrorReportingApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows an error's text; a message box unless replaced (tests record the text instead).
    std::function<void(const QString &text)> ShowError;
};
