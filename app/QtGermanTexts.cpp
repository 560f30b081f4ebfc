#include "QtGermanTexts.h"

#include "CsvText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallQtGermanTexts(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_de"), folder) &&
        !translator->load(QStringLiteral("qtbase_de"),
                          QStringLiteral("/usr/share/qt6/translations"))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

void UseGermanFormats()
{
    SetCsvLocale(QLocale());
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}
