#pragma once

#include <QWidget>

class QListWidget;
class QSpinBox;
class QTableView;
class QTabWidget;
class TLatestPressLine;
class TPassLogModel;
class TRaceCorrections;

// The panel below the standings: the pass log ("Durchfahrten"), with the latest press in large
// type above it, and the correction log ("Korrekturen"). The window owns the commands; the
// panel only shows the crossings and says which one is selected.
class TCorrectionDesk : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 210;

    TCorrectionDesk(const TRaceCorrections &corrections, QWidget *parent = nullptr);

    TPassLogModel *Model() const { return FModel; }
    QTableView *PassView() const { return FPassView; }
    QListWidget *CorrectionList() const { return FCorrectionList; }
    TLatestPressLine *LatestLine() const { return FLatest; }
    QSpinBox *MinLapField() const { return FMinLap; }
    QTabWidget *Tabs() const { return FTabs; }

    // The crossing selected in the pass log; 0 when none.
    int SelectedCrossing() const;
    // Selects a crossing's row, shows the pass log and gives it the keyboard.
    void SelectCrossing(int id);
    // The latest press in large type ("F3  Nr. 7  Müller  Runde 5  1:23.4").
    void ShowLatest(const QString &text);
    // Fills the correction log afresh from the corrections.
    void ShowCorrectionLog();

private:
    const TRaceCorrections &FCorrections;
    TPassLogModel *FModel;
    QTabWidget *FTabs;
    TLatestPressLine *FLatest;
    QTableView *FPassView;
    QListWidget *FCorrectionList;
    QSpinBox *FMinLap;
};
