#include "DlgYesNo.h"

#include "ControlResources.h"
#include "WindowFit.h"

#include <QApplication>
#include <QBitmap>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

// The layout is drawn at 120 pixels per inch and shown at 96, as the form scaling would do.
constexpr int kDesignDpi = 120;
constexpr int kScreenDpi = 96;

int Scaled(int designPixels)
{
    return (designPixels * kScreenDpi + kDesignDpi / 2) / kDesignDpi;
}

QRect ScaledRect(int left, int top, int width, int height)
{
    return QRect(Scaled(left), Scaled(top), Scaled(width), Scaled(height));
}

constexpr int kClientWidth = 273;
constexpr int kClientHeight = 116;
constexpr int kFontPixelHeight = 14;

// The drawn places of the question, the icon and the buttons, before the text widens them.
const QRect kLabelRect(49, 7, 208, 61);
const QRect kIconRect(5, 17, 39, 40);
const QRect kOkRect(48, 74, 92, 31);
const QRect kCancelRect(166, 74, 92, 31);
// Room for a line's end that the label's own wrapping keeps free.
constexpr int kLabelSlack = 8;

QRect ScaledRect(const QRect &design)
{
    return ScaledRect(design.left(), design.top(), design.width(), design.height());
}

QPixmap QuestionIcon()
{
    // Black stands for transparent: the colour of the bottom-left pixel is keyed out.
    const QImage image = LoadControlImage(QStringLiteral("DLGQUESTION"));
    if (image.isNull())
        return {};
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setMask(pixmap.createMaskFromColor(image.pixelColor(0, image.height() - 1)));
    return pixmap;
}

} // namespace

TFDlgYesNo::TFDlgYesNo(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint)
{
    BuildControls();
    FormCreate();
}

void TFDlgYesNo::BuildControls()
{
    setFixedSize(Scaled(kClientWidth), Scaled(kClientHeight));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(Scaled(kFontPixelHeight));
    setFont(font);

    // Created in tab order: OKBtn first, then CancelBtn.
    OKBtn = new QPushButton(QStringLiteral("Ja"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(ScaledRect(kOkRect));
    CancelBtn = new QPushButton(QStringLiteral("Nein"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(ScaledRect(kCancelRect));

    Label1 = new QLabel(QStringLiteral("?"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(ScaledRect(kLabelRect));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);

    Icon = new QLabel(this);
    Icon->setObjectName(QStringLiteral("Icon"));
    Icon->setGeometry(ScaledRect(kIconRect));
    Icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Icon->setPixmap(QuestionIcon());

    // Neither button is the default: Enter presses whichever button has the focus.
    for (QPushButton *button : {OKBtn, CancelBtn}) {
        button->setAutoDefault(true);
        button->setDefault(false);
    }
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrYes); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

void TFDlgYesNo::FormCreate()
{
    // The main window gives the application its own caption before the dialog is created.
    setWindowTitle(QGuiApplication::applicationDisplayName());
}

QPushButton *TFDlgYesNo::ActiveControl() const
{
    return m_active ? m_active : OKBtn;
}

void TFDlgYesNo::SetActiveControl(QPushButton *button)
{
    if (button == OKBtn || button == CancelBtn)
        m_active = button;
}

void TFDlgYesNo::PrepareAnswer(TDlgAnswer answer)
{
    m_prepared.append(answer);
}

int TFDlgYesNo::ShowModal()
{
    if (!m_prepared.isEmpty())
        return AnswerPrepared(m_prepared.takeFirst());
    return exec();
}

int TFDlgYesNo::AnswerPrepared(TDlgAnswer answer)
{
    m_asked.append(Label1->text());
    switch (answer) {
    case daYes:
        m_active = OKBtn;
        return mrYes;
    case daNo:
        m_active = CancelBtn;
        return mrCancel;
    case daEnter:
        return ActiveControl() == OKBtn ? mrYes : mrCancel;
    case daEscape:
    case daClose:
        break;
    }
    return mrCancel;
}

void TFDlgYesNo::FitToText()
{
    const QRect label = ScaledRect(kLabelRect);
    const QSize client(Scaled(kClientWidth), Scaled(kClientHeight));
    const int around = client.width() - label.width();
    int maxLabel = Scaled(kMaxLabelWidth);
    if (const QScreen *shownOn = screen())
        maxLabel = std::min(maxLabel, shownOn->availableGeometry().width() - 2 * around);
    maxLabel = std::max(maxLabel, label.width());

    // As wide as its longest line or its longest word needs, within the limits; then as high
    // as the wrapped text needs.
    const QFontMetrics metrics(Label1->font());
    int natural = 0;
    for (const QString &line : Label1->text().split(QLatin1Char('\n')))
        natural = std::max(natural, metrics.horizontalAdvance(line));
    const int width = std::clamp(natural + kLabelSlack, label.width(), maxLabel);
    const int height = std::max(label.height(), Label1->heightForWidth(width));
    const int grownWidth = width - label.width();
    const int grownHeight = height - label.height();

    const int dialogWidth = std::max(client.width() + grownWidth, TitleBarWidth(this));
    const int shift = (dialogWidth - client.width() - grownWidth) / 2;
    Label1->setGeometry(label.adjusted(shift, 0, shift + grownWidth, grownHeight));
    Icon->setGeometry(ScaledRect(kIconRect).translated(shift, 0));
    OKBtn->setGeometry(ScaledRect(kOkRect).translated(shift + grownWidth / 2, grownHeight));
    CancelBtn->setGeometry(ScaledRect(kCancelRect).translated(shift + grownWidth / 2, grownHeight));
    setFixedSize(dialogWidth, client.height() + grownHeight);
}

void TFDlgYesNo::setVisible(bool visible)
{
    // Before the dialog places itself over its parent, which needs its final size.
    if (visible)
        FitToText();
    QDialog::setVisible(visible);
}

void TFDlgYesNo::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ActiveControl()->setFocus(Qt::OtherFocusReason);
}

void TFDlgYesNo::done(int result)
{
    // Remember the focused button for the next question that does not choose one.
    if (QWidget *focused = focusWidget(); focused == OKBtn || focused == CancelBtn)
        m_active = static_cast<QPushButton *>(focused);
    QDialog::done(result);
}

void TFDlgYesNo::reject()
{
    // Escape and the close box both answer "no", like the "Nein" button.
    done(mrCancel);
}
