// Every Alt letter of a window leads to one place: its labels, buttons, tabs and menus walked as
// the window shows them, a tab's page together with what is around the tabs.
#include "ArchiveWindow.h"
#include "ClubServerDialog.h"
#include "CrossingDialog.h"
#include "RaceDayWindow.h"
#include "SeasonWindow.h"
#include "WindowUnderTest.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabBar>

class TestMnemonics : public QObject
{
    Q_OBJECT
private slots:
    void eachAltLetterLeadsToOnePlace_data();
    void eachAltLetterLeadsToOnePlace();
};

namespace {

struct TTaken
{
    QString keys;
    QString text;
    QList<std::pair<const QStackedWidget *, int>> pages; // the pages it is shown on
};

// Shown at the same time: on the same page of every stack both are in.
bool together(const TTaken &a, const TTaken &b)
{
    for (const auto &[stack, page] : a.pages) {
        for (const auto &[otherStack, otherPage] : b.pages) {
            if (stack == otherStack && page != otherPage)
                return false;
        }
    }
    return true;
}

QList<std::pair<const QStackedWidget *, int>> pagesOf(const QWidget *widget, const QWidget *window)
{
    QList<std::pair<const QStackedWidget *, int>> pages;
    for (const QWidget *w = widget; w && w != window; w = w->parentWidget()) {
        if (const auto *stack = qobject_cast<const QStackedWidget *>(w->parentWidget()))
            pages.append({stack, stack->indexOf(const_cast<QWidget *>(w))});
    }
    return pages;
}

void take(QList<TTaken> &taken, const QString &text, const QWidget *widget, const QWidget *window)
{
    const QKeySequence keys = QKeySequence::mnemonic(text);
    if (!keys.isEmpty())
        taken.append({keys.toString(), text, pagesOf(widget, window)});
}

// "Alt+N: &Neu / E&ntfernen" for each letter two places take at once.
QStringList doubled(const QList<TTaken> &taken)
{
    QStringList found;
    for (qsizetype i = 0; i < taken.size(); ++i) {
        for (qsizetype j = i + 1; j < taken.size(); ++j) {
            if (taken[i].keys == taken[j].keys && together(taken[i], taken[j]))
                found << QStringLiteral("%1: %2 / %3")
                             .arg(taken[i].keys, taken[i].text, taken[j].text);
        }
    }
    return found;
}

QStringList doubledIn(const QWidget *window)
{
    QList<TTaken> taken;
    QStringList found;
    for (const QWidget *w : window->findChildren<QWidget *>()) {
        if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            take(taken, button->text(), w, window);
        else if (const auto *label = qobject_cast<const QLabel *>(w); label && label->buddy())
            take(taken, label->text(), w, window);
        else if (const auto *box = qobject_cast<const QGroupBox *>(w))
            take(taken, box->title(), w, window);
        else if (const auto *tabs = qobject_cast<const QTabBar *>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                take(taken, tabs->tabText(i), w, window);
        } else if (const auto *bar = qobject_cast<const QMenuBar *>(w)) {
            for (const QAction *menu : bar->actions())
                take(taken, menu->text(), w, window);
        } else if (const auto *menu = qobject_cast<const QMenu *>(w)) {
            // A menu's entries among themselves, while it is open.
            QList<TTaken> entries;
            for (const QAction *action : menu->actions())
                take(entries, action->text(), w, window);
            found << doubled(entries);
        }
    }
    return found << doubled(taken);
}

} // namespace

void TestMnemonics::eachAltLetterLeadsToOnePlace_data()
{
    QTest::addColumn<QString>("window");
    for (const char *window : {"Hauptfenster", "Veranstaltung", "Meisterschaft", "Frühere Rennen",
                               "Vereinsserver", "Durchfahrt", "Frage"})
        QTest::newRow(window) << QString::fromUtf8(window);
}

void TestMnemonics::eachAltLetterLeadsToOnePlace()
{
    QFETCH(QString, window);
    TWindowUnderTest t;
    t.UseJournal();
    std::unique_ptr<QWidget> own;
    const QWidget *walked = t.window.get();
    if (window == QLatin1String("Veranstaltung")) {
        t.Key(Qt::Key_G, Qt::ControlModifier);
        walked = t.window->RaceDay;
    } else if (window == QLatin1String("Meisterschaft")) {
        t.Key(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
        walked = t.window->Season;
    } else if (window == QString::fromUtf8("Frühere Rennen")) {
        own = std::make_unique<TArchiveWindow>();
    } else if (window == QLatin1String("Vereinsserver")) {
        own = std::make_unique<TClubServerDialog>();
    } else if (window == QLatin1String("Durchfahrt")) {
        own = std::make_unique<TCrossingDialog>(
            QStringLiteral("Durchfahrt"), QStringList{QStringLiteral("F1")}, 1, 1000, true, true);
    } else if (window == QLatin1String("Frage")) {
        walked = t.dialog;
    }
    if (own)
        walked = own.get();
    QVERIFY(walked);
    const QStringList doubled = doubledIn(walked);
    QVERIFY2(doubled.isEmpty(), qPrintable(doubled.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestMnemonics)
#include "tst_mnemonics.moc"
