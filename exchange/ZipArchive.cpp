#include "ZipArchive.h"

#include <zip.h>

namespace {

QString libzipText(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

// One entry as a sequential device, reading straight from the inflater.
class ZipEntryDevice : public QIODevice
{
public:
    ZipEntryDevice(zip_file_t *file, const QString &name, qint64 maxBytes)
        : m_file(file), m_name(name), m_maxBytes(maxBytes)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~ZipEntryDevice() override { zip_fclose(m_file); }

    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_finished && QIODevice::bytesAvailable() == 0; }
    qint64 bytesAvailable() const override
    {
        // Claim one byte while the inflater may still deliver, so readers keep asking.
        return QIODevice::bytesAvailable() + (m_finished ? 0 : 1);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_finished)
            return m_failed ? -1 : 0;
        const qint64 got = zip_fread(m_file, data, zip_uint64_t(maxSize));
        if (got < 0) {
            return failWith(QStringLiteral("%1 ist beschädigt (%2)")
                                .arg(m_name, QString::fromLocal8Bit(
                                                 zip_error_strerror(zip_file_get_error(m_file)))));
        }
        if (got == 0)
            m_finished = true;
        m_total += got;
        if (m_total > m_maxBytes) {
            return failWith(QStringLiteral("%1 ist entpackt größer als %2 MB; so große "
                                           "Starterlisten werden nicht gelesen")
                                .arg(m_name)
                                .arg(m_maxBytes / (1024 * 1024)));
        }
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 failWith(const QString &message)
    {
        setErrorString(message);
        m_failed = true;
        m_finished = true;
        return -1;
    }

    zip_file_t *m_file;
    QString m_name;
    qint64 m_maxBytes;
    qint64 m_total = 0;
    bool m_finished = false;
    bool m_failed = false;
};

} // namespace

ZipArchive::ZipArchive(const QByteArray &data)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source =
        zip_source_buffer_create(data.constData(), zip_uint64_t(data.size()), 0, &error);
    if (source) {
        m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (!m_zip)
            zip_source_free(source);
    }
    if (!m_zip)
        m_error = libzipText(&error);
    zip_error_fini(&error);
}

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipArchive::contains(const QString &name) const
{
    return m_zip && zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
}

std::unique_ptr<QIODevice> ZipArchive::openEntry(const QString &name, qint64 maxBytes)
{
    if (!m_zip)
        return nullptr;
    const zip_int64_t index = zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
    if (index < 0) {
        m_error = QStringLiteral("%1 fehlt").arg(name);
        return nullptr;
    }
    zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
    if (!file) {
        m_error = QStringLiteral("%1 kann nicht entpackt werden (%2)")
                      .arg(name, libzipText(zip_get_error(m_zip)));
        return nullptr;
    }
    return std::make_unique<ZipEntryDevice>(file, name, maxBytes);
}

bool ZipArchive::readEntry(const QString &name, qint64 maxBytes, QByteArray *content)
{
    const std::unique_ptr<QIODevice> device = openEntry(name, maxBytes);
    if (!device)
        return false;
    content->clear();
    char buffer[16384];
    for (;;) {
        const qint64 got = device->read(buffer, sizeof buffer);
        if (got < 0) {
            m_error = device->errorString();
            return false;
        }
        if (got == 0 && device->atEnd())
            return true;
        content->append(buffer, got);
    }
}
