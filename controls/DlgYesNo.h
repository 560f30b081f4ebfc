#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QPushButton;

// The program's one yes/no question. The caller writes the question into Label1, may make a
// button the active control (SetActiveControl), calls ShowModal and treats 6 as "yes"; every
// other result is "no". One instance lives for the whole run and is reused for every question;
// it remembers the button that had the focus when it was last closed. Each time it is shown it
// grows from its drawn size as far as its question and its caption need (FitToText).
//
// Tests answer questions in advance with PrepareAnswer: while prepared answers are queued,
// ShowModal takes the next one, applies it as the user would (focus moves to a clicked button,
// Enter presses the active control) and returns its result without showing the dialog.
// AskedQuestions lists the texts of the questions answered that way, oldest first.
class TFDlgYesNo : public QDialog
{
    Q_OBJECT

public:
    static constexpr int mrYes = 6;
    static constexpr int mrCancel = 2;

    // What a prepared answer does: click "Ja", click "Nein", press Escape, close the window
    // with its close box, or press Enter on whichever button has the focus.
    enum TDlgAnswer { daYes, daNo, daEscape, daClose, daEnter };

    explicit TFDlgYesNo(QWidget *parent = nullptr);

    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Icon = nullptr;

    // Shows the dialog modally (or takes a prepared answer) and returns the modal result.
    int ShowModal();

    // The button that gets the focus when the dialog is next shown.
    QPushButton *ActiveControl() const;
    void SetActiveControl(QPushButton *button);

    void PrepareAnswer(TDlgAnswer answer);
    int PreparedAnswerCount() const { return m_prepared.size(); }
    QStringList AskedQuestions() const { return m_asked; }

    // Widens the question up to kMaxLabelWidth (and the screen), then lets it take as many
    // lines as it needs; the dialog follows, at least as wide as its caption.
    void FitToText();
    static constexpr int kMaxLabelWidth = 448;

    void done(int result) override;
    void reject() override;
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void BuildControls();
    int AnswerPrepared(TDlgAnswer answer);

    QPushButton *m_active = nullptr;
    QList<TDlgAnswer> m_prepared;
    QStringList m_asked;
};
