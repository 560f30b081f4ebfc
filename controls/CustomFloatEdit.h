#pragma once

#include "Alignment.h"

#include <QLineEdit>

#include <functional>

// A single-line edit whose text is always one number within [Min, Max] with at most Digits
// decimals: every typed character is checked before it goes in, and the number is reformatted
// when the focus leaves. The text is the value: Value parses it on every read.
// The decimal separator is the locale's at the moment the edit is created.
class TCustomFloatEdit : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr int kMaxDigits = 18;

    explicit TCustomFloatEdit(QWidget *parent = nullptr);

    int Digits() const { return m_digits; }
    void SetDigits(int digits);

    long double Min() const { return m_min; }
    long double Max() const { return m_max; }
    // Fail, changing nothing, when the range would be empty; errorText gets the reason.
    bool SetMin(long double min, QString *errorText = nullptr);
    bool SetMax(long double max, QString *errorText = nullptr);

    long double Value() const;
    void SetValue(long double value);
    // The check that leaving the edit runs, without moving the focus: a number in range is
    // reformatted and kept; any other text gives way to the value the edit had on entry (after
    // ErrorMessage, when showMessage). Read Value after it when the focus may still be here.
    bool CheckText(bool showMessage);

    QChar DecimalSeparator() const { return m_separator; }

    QString ErrorMessage() const { return m_errorMessage; }
    void SetErrorMessage(const QString &text) { m_errorMessage = text; }

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);

    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }

    // While loading, Value writes are held and reads return the held number; EndLoading writes
    // it through the normal path.
    void BeginLoading();
    void EndLoading();
    bool Loading() const { return m_loading; }

    std::function<void(QObject *Sender, QChar &Key)> OnEnterPress;
    std::function<void(QObject *Sender, QChar &Key)> OnKeyPress;
    std::function<void(QObject *Sender)> OnEnter;
    std::function<void(QObject *Sender)> OnExit;

    // Shows ErrorMessage and waits for the user; tests replace it to see the messages.
    std::function<void(const QString &text)> ShowMessage;

    static const QString kMinAboveMaxError;
    static const QString kMaxBelowMinError;

protected:
    // What the key filter decided about one typed character.
    enum class TKeyVerdict { Discard, Insert, PassOn };

    // Runs the key filter on one typed character, including its own text replacements and the
    // OnKeyPress and OnEnterPress events; key is what the edit should insert on Insert.
    TKeyVerdict FilterKey(QChar &key);
    // The filter for a key event: PassOn for keys that type no character or are shortcuts.
    TKeyVerdict FilterKeyEvent(QKeyEvent *event, QChar &key);
    void InsertFiltered(QKeyEvent *event, TKeyVerdict verdict, QChar key);

    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool Accepts(const QString &prospective, QChar key) const;
    bool InRange(long double value) const { return value >= m_min && value <= m_max; }
    void ShowErrorMessage();
    QString Formatted(long double value) const;

    int m_digits = 1;
    long double m_min = 0.0L;
    long double m_max = 100.0L;
    QChar m_separator;
    QString m_errorMessage;
    long double m_valueOnEntry = 0.0L;
    TAlignment m_alignment = taRightJustify;
    long double m_valueWhileLoading = 0.0L;
    bool m_loading = false;
    bool m_autoSelect = true;
    bool m_entered = false;
};
