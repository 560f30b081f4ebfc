#include "CorrectionDesk.h"

#include "LatestPressLine.h"
#include "PassLogModel.h"
#include "RaceCorrections.h"
#include "RaceTables.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kLatestFontPx = 22;
constexpr int kMaxMinLapSeconds = 3600;
// Room around a cell's text in the pass log.
constexpr int kCellPadding = 10;
// The pass log's type: a little smaller than the window's, so that at the window's own width
// the times, a long name and the longest note are all read whole.
constexpr int kPassLogFontPx = 12;
// The longest note a crossing usually has; the driver's column leaves it its room.
const QString kLongestNote = QStringLiteral("Runde zu kurz \u2013 doppelt gedrückt?");
const QString kKeysHint = QStringLiteral(
    "Entf löschen  ·  Einfg einfügen  ·  Strg+Einfg Runde teilen  ·  Strg+M anderes Auto  ·  "
    "Strg+E Zeit  ·  Enter bestätigen  ·  Strg+Z/Strg+Y zurück/wieder  ·  Strg+L Auto suchen");

} // namespace

TCorrectionDesk::TCorrectionDesk(const TRaceCorrections &corrections, QWidget *parent)
    : QWidget(parent), FCorrections(corrections)
{
    setObjectName(QStringLiteral("CorrectionDesk"));
    setFixedHeight(kHeight);
    FModel = new TPassLogModel(corrections, this);

    FLatest = new TLatestPressLine;
    FLatest->setObjectName(QStringLiteral("LatestPress"));
    QFont big = FLatest->font();
    big.setPixelSize(kLatestFontPx);
    big.setBold(true);
    FLatest->setFont(big);

    FPassView = new QTableView;
    FPassView->setObjectName(QStringLiteral("PassLog"));
    FPassView->setModel(FModel);
    QFont logFont = FPassView->font();
    logFont.setPixelSize(kPassLogFontPx);
    FPassView->setFont(logFont);
    FPassView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FPassView->setSelectionMode(QAbstractItemView::SingleSelection);
    FPassView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FPassView->setTabKeyNavigation(false);
    FPassView->verticalHeader()->hide();
    FPassView->verticalHeader()->setDefaultSectionSize(FPassView->fontMetrics().height() + 4);
    FPassView->horizontalHeader()->setStretchLastSection(true);
    // The columns fit the window's width; a horizontal scroll bar would only be drawn again
    // with every new row.
    FPassView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FPassView->setContextMenuPolicy(Qt::ActionsContextMenu);
    FPassView->setToolTip(kKeysHint);
    FPassView->setMinimumWidth(0);
    FPassView->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    FPassView->viewport()->installEventFilter(this);
    connect(FModel, &QAbstractItemModel::modelReset, this, &TCorrectionDesk::FitColumns);

    auto *hint = new QLabel(kKeysHint);
    hint->setObjectName(QStringLiteral("CorrectionKeys"));
    QFont small = hint->font();
    small.setPixelSize(11);
    hint->setFont(small);
    hint->setWordWrap(true);
    hint->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto *passPage = new QWidget;
    auto *passLayout = new QVBoxLayout(passPage);
    passLayout->setContentsMargins(2, 2, 2, 2);
    passLayout->setSpacing(2);
    passLayout->addWidget(FLatest);
    passLayout->addWidget(FPassView, 1);
    passLayout->addWidget(hint);

    FCorrectionList = new QListWidget;
    FCorrectionList->setObjectName(QStringLiteral("CorrectionLog"));
    FCorrectionList->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);

    FTabs = new QTabWidget;
    FTabs->addTab(passPage, QStringLiteral("Durchfahrten"));
    FTabs->addTab(FCorrectionList, QStringLiteral("Korrekturen"));

    auto *corner = new QWidget;
    auto *cornerLayout = new QHBoxLayout(corner);
    cornerLayout->setContentsMargins(0, 0, 4, 0);
    auto *minLapLabel = new QLabel(QStringLiteral("Mindestrunde:"));
    FMinLap = new QSpinBox;
    FMinLap->setObjectName(QStringLiteral("MinLap"));
    FMinLap->setRange(0, kMaxMinLapSeconds);
    FMinLap->setSuffix(QStringLiteral(" s"));
    FMinLap->setSpecialValueText(QStringLiteral("aus"));
    FMinLap->setToolTip(QStringLiteral(
        "Ein Druck, der eine kürzere Runde ergäbe, wird gehalten und zählt erst nach Bestätigung "
        "(Enter). Gilt ab dem nächsten START."));
    minLapLabel->setBuddy(FMinLap);
    cornerLayout->addWidget(minLapLabel);
    cornerLayout->addWidget(FMinLap);
    FTabs->setCornerWidget(corner);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(FTabs);
}

bool TCorrectionDesk::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FPassView->viewport() && event->type() == QEvent::Resize)
        FitColumns();
    return QWidget::eventFilter(watched, event);
}

void TCorrectionDesk::FitColumns()
{
    const QFontMetrics metrics = FPassView->fontMetrics();
    QHeaderView *header = FPassView->horizontalHeader();
    const QFontMetrics titles = header->fontMetrics();
    const auto widthOf = [&](int column, const QString &widest) {
        const QString title =
            FModel->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        return qMax(metrics.horizontalAdvance(widest), titles.horizontalAdvance(title)) +
               kCellPadding;
    };
    using M = TPassLogModel;
    int fixed = 0;
    for (const auto &[column, widest] :
         {std::pair{M::colWall, QStringLiteral("00:00:00")},
          std::pair{M::colRace, QStringLiteral("0:00:00.0")},
          std::pair{M::colKey, QStringLiteral("F12")}, std::pair{M::colNr, QStringLiteral("0000")},
          std::pair{M::colLap, QStringLiteral("000")},
          std::pair{M::colLapTime, QStringLiteral("00:00.0")}}) {
        const int width = widthOf(column, widest);
        header->resizeSection(column, width);
        fixed += width;
    }
    int longestName = 0;
    for (int car = 1; car <= kMaxCars && FModel->StarterOf; ++car)
        longestName = qMax(longestName, metrics.horizontalAdvance(FModel->StarterOf(car).second));
    const int free = FPassView->viewport()->width() - fixed;
    const int noteRoom = widthOf(M::colNote, kLongestNote);
    const int driver =
        qMax(widthOf(M::colDriver, QString()), qMin(longestName + kCellPadding, free - noteRoom));
    header->resizeSection(M::colDriver, driver);
}

int TCorrectionDesk::SelectedCrossing() const
{
    const QModelIndex current = FPassView->currentIndex();
    return current.isValid() ? FModel->IdAt(current.row()) : 0;
}

void TCorrectionDesk::SelectCrossing(int id)
{
    FTabs->setCurrentIndex(0);
    const int row = FModel->RowOf(id);
    if (row < 0)
        return;
    FPassView->setCurrentIndex(FModel->index(row, TPassLogModel::colRace));
    FPassView->scrollTo(FPassView->currentIndex());
    FPassView->setFocus();
}

void TCorrectionDesk::ShowCorrectionLog()
{
    const QList<TRaceCorrections::TLogEntry> &log = FCorrections.Log();
    FCorrectionList->clear();
    // Newest on top, like the pass log.
    for (auto entry = log.crbegin(); entry != log.crend(); ++entry) {
        auto *item = new QListWidgetItem(TRaceCorrections::LogLine(*entry));
        if (entry->undone) {
            QFont font = item->font();
            font.setStrikeOut(true);
            item->setFont(font);
            item->setForeground(Qt::gray);
        }
        FCorrectionList->addItem(item);
    }
    // The count goes into the tab's tool tip, not its text: a tab that changes its width lays
    // out the whole window again, which a correction in a long race must not pay for.
    FTabs->setTabToolTip(1, log.size() == 1 ? QStringLiteral("1 Korrektur")
                                            : QStringLiteral("%1 Korrekturen").arg(log.size()));
}
