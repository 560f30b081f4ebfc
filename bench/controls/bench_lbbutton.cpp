// Times what one paint of the start button costs (the face built offscreen, then keyed for
// its see-through corners) and a whole eight-step fade, which repaints every 30 ms.
#include "LbButton.h"
#include "StartButton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRepeats = 5000;
constexpr int kFadeRepeats = 500;

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(static_cast<double>(values.size() - 1) * share)];
}

void SetUpRunningStartButton(TLbButton &button)
{
    button.resize(115, 36);
    SetUpStartButton(button, QStringLiteral("Liberation Sans"));
    ShowStartButtonState(button, QStringLiteral("STOPP"), QColor(0xFF, 0, 0), QColor(0x7F, 0, 0));
}

void Report(const char *what, const std::vector<double> &micros)
{
    std::printf("%-36s median %8.1f us   p99 %8.1f us   (%zu runs)\n", what,
                Percentile(micros, 0.5), Percentile(micros, 0.99), micros.size());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TLbButton button;
    SetUpRunningStartButton(button);

    std::vector<double> face;
    face.reserve(kRepeats);
    QElapsedTimer timer;
    for (int i = 0; i < kRepeats; ++i) {
        timer.start();
        const QImage picture = button.RenderFace();
        face.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
        if (picture.isNull())
            return 1;
    }
    Report("start button face (115 x 36)", face);

    button.show();
    // Repaints only paint once the window is on screen.
    QElapsedTimer waiting;
    waiting.start();
    while (!(button.windowHandle() && button.windowHandle()->isExposed()) &&
           waiting.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::vector<double> fade;
    fade.reserve(kFadeRepeats);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    for (int i = 0; i < kFadeRepeats; ++i) {
        QCoreApplication::sendEvent(&button, &enter);
        timer.start();
        for (int step = 0; step < TLbButton::kFadeLevelHot; ++step)
            button.FadeStep(); // each step repaints at once
        fade.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    Report("eight fade repaints", fade);
    return 0;
}
