#include "HelpFileReader.h"

#include "HelpContent.h"

const QString THelpFileReader::kHelperName = QStringLiteral("talvenbahn-help-reader");

namespace {

// The exit code with which the helper refuses a file and prints why.
constexpr int kHelperRefused = 3;
constexpr int kMaxReasonChars = 300;

THelperProcess::TLimits helperLimits()
{
    THelperProcess::TLimits limits;
    // Our help file takes the helper a few milliseconds.
    limits.timeoutMs = 10000;
    limits.cpuSeconds = 5;
    // The content with its framing; paths travel as UTF-16.
    limits.maxOutputBytes = THelpContent::kMaxTotalBytes + 4 * 1024 * 1024;
    limits.memoryBytes = qint64(1) * 1024 * 1024 * 1024;
    return limits;
}

} // namespace

THelpFileReader::THelpFileReader(const QString &libraryPath, QObject *parent)
    : QObject(parent), m_limits(helperLimits()), m_libraryPath(libraryPath),
      m_helperPath(HelperProgramPath(kHelperName))
{
    connect(&m_helper, &THelperProcess::done, this, &THelpFileReader::helperDone);
}

void THelpFileReader::start(const QString &fileName)
{
    m_fileName = fileName;
    m_content.reset();
    m_error.clear();
    m_damaged = false;
    m_helper.start(m_helperPath, {m_libraryPath, fileName}, m_limits);
}

bool THelpFileReader::waitForDone(int msecs)
{
    return m_helper.waitForDone(msecs);
}

void THelpFileReader::helperDone()
{
    m_damaged = true;
    switch (m_helper.outcome()) {
    case THelperProcess::Finished:
        if (m_helper.exitCode() == 0) {
            if (auto content = THelpContent::fromBytes(m_helper.output())) {
                m_content = std::make_shared<const THelpContent>(std::move(*content));
                m_damaged = false;
            } else {
                m_error = QStringLiteral("das Leseprogramm gab keine lesbare Antwort");
            }
        } else if (m_helper.exitCode() == kHelperRefused) {
            m_error = QString::fromUtf8(m_helper.output()).left(kMaxReasonChars);
        } else {
            m_error =
                QStringLiteral("das Leseprogramm endete mit dem Code %1").arg(m_helper.exitCode());
        }
        break;
    case THelperProcess::FailedToStart:
        m_damaged = false;
        m_error = m_helper.failureText();
        break;
    default:
        m_error = m_helper.failureText();
        break;
    }
    emit done();
}
