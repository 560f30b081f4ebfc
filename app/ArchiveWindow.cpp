#include "ArchiveWindow.h"

#include "ArchiveModel.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 420;

} // namespace

TArchiveWindow::TArchiveWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ArchiveWindow"));
    setWindowTitle(QStringLiteral("Frühere Rennen"));
    resize(kWidth, kHeight);
    Model = new TArchiveModel(this);
    Table = new QTableView(this);
    Table->setModel(Model);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setSectionResizeMode(TArchiveModel::colTitle, QHeaderView::Stretch);
    auto *buttons = new QDialogButtonBox(this);
    OpenButton = buttons->addButton(QStringLiteral("Öffnen"), QDialogButtonBox::AcceptRole);
    DeleteButton = buttons->addButton(QStringLiteral("Löschen"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
    AllStationsBox = new QCheckBox(QStringLiteral("&alle Stationen"), this);
    AllStationsBox->hide();
    Table->setColumnHidden(TArchiveModel::colStation, true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(AllStationsBox);
    layout->addWidget(Table);
    layout->addWidget(buttons);

    connect(Table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TArchiveWindow::updateButtons);
    connect(Model, &QAbstractItemModel::modelReset, this, &TArchiveWindow::updateButtons);
    connect(Table, &QTableView::doubleClicked, this, [this] { OpenButton->click(); });
    connect(OpenButton, &QPushButton::clicked, this, [this] {
        const TArchiveRow *row = SelectedRow();
        if (!row)
            return;
        const QString station = row->station;
        const qint64 race = row->race.id;
        if (station.isEmpty() && OnOpen) {
            accept();
            OnOpen(race);
        } else if (!station.isEmpty() && OnOpenOther) {
            accept();
            OnOpenOther(station, race);
        }
    });
    connect(AllStationsBox, &QCheckBox::toggled, this, [this](bool all) {
        Table->setColumnHidden(TArchiveModel::colStation, !all);
        if (OnAllStations)
            OnAllStations(all);
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
    return TArchiveModel::StateText(state);
}

void TArchiveWindow::SetRaces(const QList<TRaceSummary> &races)
{
    Model->SetRaces(races);
    // The header measures the rows on screen and a sample of the rest (resizeContentsPrecision):
    // a long archive does not make every row's texts.
    Table->resizeColumnsToContents();
    if (Model->rowCount() > 0)
        Table->selectRow(0);
    updateButtons();
}

void TArchiveWindow::SetServerAvailable(bool available)
{
    AllStationsBox->setVisible(available);
    if (!available)
        AllStationsBox->setChecked(false);
}

bool TArchiveWindow::AllStations() const
{
    return AllStationsBox->isChecked();
}

void TArchiveWindow::SetOtherRaces(const QList<TArchiveRow> &others)
{
    const TArchiveRow *selected = SelectedRow();
    const QString station = selected ? selected->station : QString();
    const qint64 race = selected ? selected->race.id : 0;
    Model->SetOtherRaces(others);
    for (int row = 0; row < Model->rowCount(); ++row) {
        const TArchiveRow *r = Model->Row(row);
        if (r->station == station && r->race.id == race) {
            Table->selectRow(row);
            break;
        }
    }
    updateButtons();
}

const TArchiveRow *TArchiveWindow::SelectedRow() const
{
    const QModelIndexList selected = Table->selectionModel()->selectedRows();
    return selected.isEmpty() ? nullptr : Model->Row(selected.first().row());
}

qint64 TArchiveWindow::SelectedRace() const
{
    const TArchiveRow *row = SelectedRow();
    return row && row->station.isEmpty() ? row->race.id : 0;
}

bool TArchiveWindow::SelectRace(qint64 raceId)
{
    const int row = Model->RowOf(raceId);
    if (row < 0)
        return false;
    Table->selectRow(row);
    return true;
}

void TArchiveWindow::updateButtons()
{
    OpenButton->setEnabled(SelectedRow() != nullptr);
    // Another station's race is that station's to delete.
    DeleteButton->setEnabled(SelectedRace() != 0);
}
