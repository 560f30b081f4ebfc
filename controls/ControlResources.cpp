#include "ControlResources.h"

#include <QFile>

static void InitControlResources()
{
    // The resources live in a static library, so they are registered by hand once.
    static const bool registered = [] {
        Q_INIT_RESOURCE(controls);
        return true;
    }();
    Q_UNUSED(registered);
}

QImage LoadControlImage(const QString &name)
{
    InitControlResources();
    const QString path = QStringLiteral(":/controls/") + name + QStringLiteral(".xpm");
    if (!QFile::exists(path))
        return {};
    return QImage(path);
}
