#pragma once

#include "HelperProcess.h"

#include <QObject>
#include <QString>

#include <memory>

class THelpContent;

// Reads a help file in the helper program talvenbahn-help-reader, without blocking: the race
// goes on while the file is read, and a file that crashes, hangs or floods the helper only
// ends in errorString().
class THelpFileReader : public QObject
{
    Q_OBJECT
public:
    static const QString kHelperName;

    // The reader library the helper loads, as the program's start-up found it.
    explicit THelpFileReader(const QString &libraryPath, QObject *parent = nullptr);

    // Another helper and a shorter deadline, for tests.
    void setHelperPath(const QString &path) { m_helperPath = path; }
    QString helperPath() const { return m_helperPath; }
    void setTimeoutMs(int msecs) { m_limits.timeoutMs = msecs; }

    // Starts reading; an earlier read still going is dropped.
    void start(const QString &fileName);
    bool isReading() const { return m_helper.isRunning(); }
    QString fileName() const { return m_fileName; }
    // Blocks until done or msecs passed; for tools and tests, never the window.
    bool waitForDone(int msecs);

    // After done(): the file's content, or null with the reason in errorString().
    std::shared_ptr<const THelpContent> content() const { return m_content; }
    QString errorString() const { return m_error; }
    // Whether the failure lies in the file rather than in a missing helper.
    bool fileIsDamaged() const { return m_damaged; }

signals:
    void done();

private:
    void helperDone();

    THelperProcess m_helper;
    THelperProcess::TLimits m_limits;
    QString m_libraryPath;
    QString m_helperPath;
    QString m_fileName;
    std::shared_ptr<const THelpContent> m_content;
    QString m_error;
    bool m_damaged = false;
};
