#pragma once

#include <QLineEdit>

class TMyCustomGrid;

// The single-line editor laid over the current cell while it is edited. Keys that
// leave the cell (arrows up and down, Tab, Enter, Escape) go back to the grid.
class TInplaceEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit TInplaceEdit(TMyCustomGrid *grid);

signals:
    void GridKey(QKeyEvent *event);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
};
