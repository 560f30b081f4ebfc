#include "ArchiveWindow.h"

#include "ArchiveModel.h"

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
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Table);
    layout->addWidget(buttons);

    connect(Table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TArchiveWindow::updateButtons);
    connect(Model, &QAbstractItemModel::modelReset, this, &TArchiveWindow::updateButtons);
    connect(Table, &QTableView::doubleClicked, this, [this] { OpenButton->click(); });
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

qint64 TArchiveWindow::SelectedRace() const
{
    const QModelIndexList selected = Table->selectionModel()->selectedRows();
    if (selected.isEmpty())
        return 0;
    const TRaceSummary *race = Model->Race(selected.first().row());
    return race ? race->id : 0;
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
    const bool any = SelectedRace() != 0;
    OpenButton->setEnabled(any);
    DeleteButton->setEnabled(any);
}
