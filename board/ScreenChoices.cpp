#include "ScreenChoices.h"

#include <QGuiApplication>
#include <QScreen>

QString ScreenChoiceLabel(const QString &name, int number, QSize size, bool primary)
{
    const QString shownName =
        name.trimmed().isEmpty() ? QStringLiteral("Bildschirm %1").arg(number) : name.trimmed();
    QString label =
        QStringLiteral("%1 – %2 × %3").arg(shownName).arg(size.width()).arg(size.height());
    if (primary)
        label += QStringLiteral(" (Hauptbildschirm)");
    return label;
}

QList<TScreenChoice> screenChoices()
{
    QList<TScreenChoice> choices;
    QScreen *primary = QGuiApplication::primaryScreen();
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i) {
        QScreen *screen = screens[i];
        TScreenChoice choice{
            screen, ScreenChoiceLabel(screen->name(), i + 1, screen->size(), screen == primary)};
        if (screen == primary)
            choices.prepend(choice);
        else
            choices.append(choice);
    }
    return choices;
}
