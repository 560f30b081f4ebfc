#pragma once

#include "ClubServerConfig.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Vereinsserver": where the club's server is, the login, how the connection is protected, and
// a test of it. The test runs on a thread of its own: the dialog, and the lap keys behind it,
// never wait for the network. The password typed here goes to the keyring, never to the
// settings file.
class TClubServerDialog : public QDialog
{
    Q_OBJECT
public:
    static inline const QString kTesting = QStringLiteral("Verbindung wird geprüft …");
    static inline const QString kTestOk = QStringLiteral("Verbindung in Ordnung.");

    explicit TClubServerDialog(QWidget *parent = nullptr);

    // knownPassword: the login's password as far as the program knows it; the test uses it
    // while the password field is empty.
    void SetConfig(const TClubServerConfig &config, const QString &knownPassword = QString());
    // The journal whose station the test tries to send as; none: a new station.
    void SetJournal(const QString &path) { FJournalPath = path; }
    TClubServerConfig Config() const;
    // What was typed into the password field; empty: keep the known one.
    QString Password() const;

    QLineEdit *Host = nullptr;
    QSpinBox *Port = nullptr;
    QLineEdit *Database = nullptr;
    QLineEdit *User = nullptr;
    QComboBox *Tls = nullptr;
    QCheckBox *ReadOnly = nullptr;
    QLineEdit *Station = nullptr; // the station's name on the server
    QLineEdit *PasswordEdit = nullptr;
    QPushButton *TestButton = nullptr;
    QLabel *TestResult = nullptr;

private:
    void Test();
    void ShowResult(const QString &text);

    QString FKnownPassword;
    QString FJournalPath;
    // Counts the tests, so only the latest one's answer is shown.
    int FTests = 0;
};
