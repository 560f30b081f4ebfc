#include "ErrorReportingApplication.h"

#include <QMessageBox>

#include <exception>

namespace {

const QString kUnknownError = QStringLiteral("Unbekannter Fehler");

} // namespace

TErrorReportingApplication::TErrorReportingApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    ShowError = [](const QString &text) {
        QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                              text);
    };
}

bool TErrorReportingApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        if (ShowError)
            ShowError(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        if (ShowError)
            ShowError(kUnknownError);
    }
    return false;
}
