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
    // Fills the correction log afresh from the corrections.
    void ShowCorrectionLog();
    // Gives the pass log's columns their widths: the times, key, number and lap what their
    // texts take, the driver what the longest name takes (up to what leaves the notes their
    // room), the notes the rest. Called when the view's width or the names change.
    void FitColumns();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const TRaceCorrections &FCorrections;
    TPassLogModel *FModel;
    QTabWidget *FTabs;
    TLatestPressLine *FLatest;
    QTableView *FPassView;
    QListWidget *FCorrectionList;
    QSpinBox *FMinLap;
};
