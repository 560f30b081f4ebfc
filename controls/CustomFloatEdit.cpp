#include "CustomFloatEdit.h"

#include "FloatText.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMessageBox>

const QString TCustomFloatEdit::kMinAboveMaxError =
    QStringLiteral("Minimum value must not be greater than maximum value !");
const QString TCustomFloatEdit::kMaxBelowMinError =
    QStringLiteral("Maximum value must not be less than minimum value !");

namespace {

constexpr char16_t kEnter = 13;
constexpr char16_t kLineFeed = 10;
constexpr char16_t kEscape = 27;
constexpr char16_t kFirstPrintable = 32;
constexpr char16_t kDelete = 127;

Qt::Alignment ToQtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taLeftJustify:
        return Qt::AlignLeft | Qt::AlignVCenter;
    case taCenter:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case taRightJustify:
        break;
    }
    return Qt::AlignRight | Qt::AlignVCenter;
}

} // namespace

TCustomFloatEdit::TCustomFloatEdit(QWidget *parent) : QLineEdit(parent)
{
    const QString separator = QLocale().decimalPoint();
    m_separator = separator.isEmpty() ? QLatin1Char('.') : separator.front();
    ShowMessage = [this](const QString &text) {
        QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(), text,
                        QMessageBox::Ok, this);
        box.exec();
    };
    QLineEdit::setAlignment(ToQtAlignment(m_alignment));
    setText(Formatted(m_min));
}

QString TCustomFloatEdit::Formatted(long double value) const
{
    return FloatToText(value, m_digits, m_separator);
}

void TCustomFloatEdit::SetDigits(int digits)
{
    digits = qBound(0, digits, kMaxDigits);
    if (digits == m_digits)
        return;
    m_digits = digits;
    SetValue(Value());
}

bool TCustomFloatEdit::SetMin(long double min, QString *errorText)
{
    if (min == m_min)
        return true;
    if (min > m_max) {
        if (errorText)
            *errorText = kMinAboveMaxError;
        return false;
    }
    m_min = min;
    SetValue(Value());
    return true;
}

bool TCustomFloatEdit::SetMax(long double max, QString *errorText)
{
    if (max == m_max)
        return true;
    if (max < m_min) {
        if (errorText)
            *errorText = kMaxBelowMinError;
        return false;
    }
    m_max = max;
    SetValue(Value());
    return true;
}

long double TCustomFloatEdit::Value() const
{
    if (m_loading)
        return m_valueWhileLoading;
    QString current = text();
    if (current == QLatin1String("-") || current == QString(m_separator) || current.isEmpty() ||
        current == QLatin1String("E"))
        current = QStringLiteral("0");
    long double value = 0;
    if (!TextToFloat(current, m_separator, value))
        value = m_min;
    return qBound(m_min, value, m_max);
}

void TCustomFloatEdit::SetValue(long double value)
{
    if (m_loading) {
        m_valueWhileLoading = value;
        return;
    }
    if (value > m_max) {
        ShowErrorMessage();
        value = m_max;
    }
    if (value < m_min) {
        ShowErrorMessage();
        value = m_min;
    }
    setText(Formatted(value));
}

void TCustomFloatEdit::ShowErrorMessage()
{
    if (!m_errorMessage.isEmpty() && ShowMessage)
        ShowMessage(m_errorMessage);
}

void TCustomFloatEdit::SetAlignment(TAlignment alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    QLineEdit::setAlignment(ToQtAlignment(alignment));
}

void TCustomFloatEdit::BeginLoading()
{
    if (m_loading)
        return;
    m_valueWhileLoading = Value();
    m_loading = true;
}

void TCustomFloatEdit::EndLoading()
{
    if (!m_loading)
        return;
    m_loading = false;
    SetValue(m_valueWhileLoading);
}

bool TCustomFloatEdit::Accepts(const QString &prospective, QChar key) const
{
    long double number = 0;
    if (!TextToFloat(prospective, m_separator, number) || !InRange(number))
        return false;
    if (key == m_separator && m_digits == 0)
        return false;
    if (prospective.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return true; // a number with an exponent is not limited in decimals
    const qsizetype point = prospective.indexOf(m_separator);
    return point < 0 || prospective.size() - point - 1 <= m_digits;
}

TCustomFloatEdit::TKeyVerdict TCustomFloatEdit::FilterKey(QChar &key)
{
    if (key == QChar(kEnter) || key == QChar(kLineFeed)) {
        if (OnEnterPress)
            OnEnterPress(this, key);
        return TKeyVerdict::Discard;
    }
    if (key == QChar(kEscape)) {
        SetValue(m_valueOnEntry);
        selectAll();
        QChar none;
        if (OnKeyPress)
            OnKeyPress(this, none);
        return TKeyVerdict::Discard;
    }
    const auto raiseKeyPress = [this, &key](TKeyVerdict verdict) {
        if (OnKeyPress)
            OnKeyPress(this, key);
        return key.isNull() ? TKeyVerdict::Discard : verdict;
    };
    if (key.unicode() < kFirstPrintable)
        return raiseKeyPress(TKeyVerdict::PassOn);

    const bool acceptable = key == QLatin1Char('-') ||
                            (key >= QLatin1Char('0') && key <= QLatin1Char('9')) ||
                            key == QLatin1Char('e') || key == m_separator;
    if (!acceptable) {
        raiseKeyPress(TKeyVerdict::Discard);
        return TKeyVerdict::Discard;
    }
    const QString current = text();
    const int selStart = hasSelectedText() ? selectionStart() : cursorPosition();
    const int selLength = static_cast<int>(selectedText().size());
    const QString prospective = current.left(selStart) + key + current.mid(selStart + selLength);

    // A lone sign or separator becomes a number at once, with the 0 selected for the next digit.
    // A read-only edit keeps its text.
    if (prospective == QLatin1String("-") || prospective == QString(m_separator)) {
        if (!isReadOnly()) {
            const bool sign = prospective == QLatin1String("-");
            setText(sign ? QStringLiteral("-0")
                         : QLatin1Char('0') + m_separator + QLatin1Char('0'));
            setSelection(sign ? 1 : 2, 1);
        }
        raiseKeyPress(TKeyVerdict::Discard);
        return TKeyVerdict::Discard;
    }
    if (!Accepts(prospective, key)) {
        raiseKeyPress(TKeyVerdict::Discard);
        return TKeyVerdict::Discard;
    }
    return raiseKeyPress(TKeyVerdict::Insert);
}

TCustomFloatEdit::TKeyVerdict TCustomFloatEdit::FilterKeyEvent(QKeyEvent *event, QChar &key)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = QChar(kEnter);
        return FilterKey(key);
    case Qt::Key_Escape:
        key = QChar(kEscape);
        return FilterKey(key);
    default:
        break;
    }
    const QString typed = event->text();
    const bool shortcut =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    // Keys that type no character (arrows, Delete) and shortcuts (Ctrl+C) go to the edit;
    // control characters such as Backspace still raise OnKeyPress.
    if (typed.isEmpty() || typed.front() == QChar(kDelete)) {
        key = QChar();
        return TKeyVerdict::PassOn;
    }
    if (shortcut || typed.size() == 1) {
        if (shortcut && typed.front().unicode() >= kFirstPrintable) {
            key = QChar();
            return TKeyVerdict::PassOn;
        }
        key = typed.front();
        return FilterKey(key);
    }
    // Several characters at once (a composed sequence): each passes the filter on its own.
    for (QChar c : typed) {
        if (FilterKey(c) == TKeyVerdict::Insert && !isReadOnly())
            insert(QString(c));
    }
    key = QChar();
    return TKeyVerdict::Discard;
}

void TCustomFloatEdit::InsertFiltered(QKeyEvent *event, TKeyVerdict verdict, QChar key)
{
    switch (verdict) {
    case TKeyVerdict::Discard:
        event->accept();
        return;
    case TKeyVerdict::PassOn:
        QLineEdit::keyPressEvent(event);
        return;
    case TKeyVerdict::Insert:
        if (event->text() == QString(key)) {
            QLineEdit::keyPressEvent(event);
        } else {
            if (!isReadOnly())
                insert(QString(key));
            event->accept();
        }
        return;
    }
}

void TCustomFloatEdit::keyPressEvent(QKeyEvent *event)
{
    QChar key;
    const TKeyVerdict verdict = FilterKeyEvent(event, key);
    InsertFiltered(event, verdict, key);
}

void TCustomFloatEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    // Coming back from another window is no new entry: the value on entry stays.
    if (m_entered && event->reason() == Qt::ActiveWindowFocusReason)
        return;
    m_entered = true;
    if (m_autoSelect && event->reason() != Qt::MouseFocusReason)
        selectAll();
    else if (!m_autoSelect)
        deselect(); // the line edit selects all on Tab by itself
    m_valueOnEntry = Value();
    if (OnEnter)
        OnEnter(this);
}

void TCustomFloatEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Switching to another window or opening a menu is no leave; a widget that never received
    // the focus (while another edit takes it back) has nothing to check.
    if (!m_entered || event->reason() == Qt::ActiveWindowFocusReason ||
        event->reason() == Qt::PopupFocusReason)
        return;
    m_entered = false;
    if (!CheckText(true)) {
        selectAll();
        setFocus(Qt::OtherFocusReason);
        return;
    }
    if (OnExit)
        OnExit(this);
}

bool TCustomFloatEdit::CheckText(bool showMessage)
{
    QString current = text();
    if (current.isEmpty())
        current = Formatted(m_min);
    long double number = 0;
    if (!TextToFloat(current, m_separator, number) || !InRange(number)) {
        if (showMessage)
            ShowErrorMessage();
        SetValue(m_valueOnEntry);
        return false;
    }
    setText(Formatted(number));
    long double reformatted = number;
    TextToFloat(text(), m_separator, reformatted);
    SetValue(reformatted);
    return true;
}
