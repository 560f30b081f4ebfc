#include "ArchiveWindow.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QStringList kColumns = {QStringLiteral("Datum"),   QStringLiteral("Rennen"),
                              QStringLiteral("Session"), QStringLiteral("Autos"),
                              QStringLiteral("Runden"),  QStringLiteral("Sieger"),
                              QStringLiteral("Zustand")};
constexpr int kWidth = 760;
constexpr int kHeight = 420;

} // namespace

TArchiveWindow::TArchiveWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ArchiveWindow"));
    setWindowTitle(QStringLiteral("Frühere Rennen"));
    resize(kWidth, kHeight);
    Table = new QTableWidget(0, int(kColumns.size()), this);
    Table->setHorizontalHeaderLabels(kColumns);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto *buttons = new QDialogButtonBox(this);
    OpenButton = buttons->addButton(QStringLiteral("Öffnen"), QDialogButtonBox::AcceptRole);
    DeleteButton = buttons->addButton(QStringLiteral("Löschen"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Table);
    layout->addWidget(buttons);

    connect(Table, &QTableWidget::itemSelectionChanged, this, &TArchiveWindow::updateButtons);
    connect(Table, &QTableWidget::cellDoubleClicked, this, [this] { OpenButton->click(); });
    connect(OpenButton, &QPushButton::clicked, this, [this] {
        if (const qint64 race = SelectedRace(); race && OnOpen) {
            accept();
            OnOpen(race);
        }
    });
    connect(DeleteButton, &QPushButton::clicked, this, [this] {
        if (const qint64 race = SelectedRace(); race && OnDelete)
            OnDelete(race);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateButtons();
}

QString TArchiveWindow::StateText(TRaceSummary::State state)
{
    switch (state) {
    case TRaceSummary::State::Running:
        return QStringLiteral("läuft");
    case TRaceSummary::State::Stopped:
        return QStringLiteral("gestoppt");
    case TRaceSummary::State::Finished:
        return QStringLiteral("beendet");
    case TRaceSummary::State::Interrupted:
        return QStringLiteral("unterbrochen");
    }
    return QString();
}

void TArchiveWindow::SetRaces(const QList<TRaceSummary> &races)
{
    FRaces = races;
    std::reverse(FRaces.begin(), FRaces.end()); // newest first
    Table->setRowCount(int(FRaces.size()));
    const QLocale locale;
    for (int row = 0; row < FRaces.size(); ++row) {
        const TRaceSummary &race = FRaces[row];
        const QStringList texts = {
            locale.toString(QDateTime::fromMSecsSinceEpoch(race.startedWallMs),
                            QLocale::ShortFormat),
            race.title,
            race.session,
            QString::number(race.cars),
            QString::number(race.laps),
            race.winner,
            StateText(race.state)};
        for (int col = 0; col < texts.size(); ++col)
            Table->setItem(row, col, new QTableWidgetItem(texts[col]));
    }
    Table->resizeColumnsToContents();
    if (!FRaces.isEmpty())
        Table->selectRow(0);
    updateButtons();
}

qint64 TArchiveWindow::SelectedRace() const
{
    const QList<QTableWidgetItem *> selected = Table->selectedItems();
    if (selected.isEmpty())
        return 0;
    const int row = selected.first()->row();
    return row >= 0 && row < FRaces.size() ? FRaces[row].id : 0;
}

bool TArchiveWindow::SelectRace(qint64 raceId)
{
    for (int row = 0; row < FRaces.size(); ++row) {
        if (FRaces[row].id == raceId) {
            Table->selectRow(row);
            return true;
        }
    }
    return false;
}

void TArchiveWindow::updateButtons()
{
    const bool any = SelectedRace() != 0;
    OpenButton->setEnabled(any);
    DeleteButton->setEnabled(any);
}
