// CPU use of the running clock and the LED window's scrolling line, and of the idle display.
//
// Usage: stopky_cpu_bench [seconds per phase, default 10]
// Runs headless (QT_QPA_PLATFORM=offscreen unless the caller chose a platform, e.g. xcb under
// Xvfb). Prints the figures of each phase; asserts nothing.

#include "display/TfrmLED.h"
#include "display/TimeRecord.h"
#include "display/clockwidget.h"
#include "display/splits.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <sys/resource.h>

#include <cstdio>

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class PaintCounter : public QObject {
public:
    std::int64_t count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};

struct Phase {
    double wall = 0, cpu = 0;
    std::int64_t ticks = 0, clockPaints = 0, scrollPaints = 0;
};

Phase run(int seconds, FrameClock& frames, PaintCounter& clockPaints, PaintCounter& scrollPaints) {
    const double cpu0 = cpuSeconds();
    const std::int64_t t0 = frames.frames(), c0 = clockPaints.count, s0 = scrollPaints.count;
    QElapsedTimer wall;
    wall.start();
    // A local loop: QCoreApplication::quit would close the windows.
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    Phase p;
    p.wall = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    p.cpu = cpuSeconds() - cpu0;
    p.ticks = frames.frames() - t0;
    p.clockPaints = clockPaints.count - c0;
    p.scrollPaints = scrollPaints.count - s0;
    return p;
}

void print(const char* name, const Phase& p) {
    std::printf("%-34s wall %6.2f s  cpu %7.3f s  = %5.2f %% of one core  frame ticks %6lld (%6.1f/s)"
                "  clock paints %6.1f/s  scroll paints %6.1f/s\n",
                name, p.wall, p.cpu, 100.0 * p.cpu / p.wall, static_cast<long long>(p.ticks),
                p.ticks / p.wall, p.clockPaints / p.wall, p.scrollPaints / p.wall);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    FrameClock frames;
    // The console's time panel with the running-clock surface over the time label.
    QWidget console;
    console.resize(451, 288);
    QWidget pnlCas(&console);
    pnlCas.setGeometry(8, 8, 249, 153);
    QLabel lblCas(&pnlCas); // the time label under the surface, kept in step as the console does
    lblCas.setGeometry(8, 25, 227, 57);
    ClockWidget DXCas1(&frames, nullptr, &pnlCas);
    QObject::connect(&DXCas1, &ClockWidget::textChanged, &lblCas, &QLabel::setText);
    DXCas1.setGeometry(8, 25, 227, 57);
    DXCas1.setVersion(466, stopky::Tisiciny);
    DXCas1.hide();
    console.show();

    TfrmLED led(&frames);
    led.setTexts(QStringLiteral("SDH Horní Lhota"), {QStringLiteral("Koš"), QStringLiteral("Rozdělovač"),
                                                     QStringLiteral("Terč"), QStringLiteral("Rozdíl")});
    led.setLedBounds(QRect(450, 10, 800, 600));
    led.show();
    stopky::SplitTimes splits;
    splits.mezicas(8123, stopky::Tisiciny, {QStringLiteral("Koš"), {}, {}, {}});
    led.showSplits(splits);

    PaintCounter clockPaints, scrollPaints;
    DXCas1.installEventFilter(&clockPaints);
    led.DXDraw->installEventFilter(&scrollPaints);

    const QScreen* screen = QGuiApplication::primaryScreen();
    std::printf("platform %s, screen refresh %.1f Hz, frame period %.2f ms, %d s per phase\n",
                qPrintable(QGuiApplication::platformName()), screen ? screen->refreshRate() : 0.0,
                frames.period(), seconds);

    // Running: the clock counts and the scrolling text moves.
    DXCas1.startRun();
    led.showStartBanner();
    led.restartScroll(QStringLiteral("Vítejte na soutěži v požárním útoku – na řadě je SDH Horní Lhota, "
                                     "připraví se SDH Dolní Lhota"));
    print("clock running + scrolling text", run(seconds, frames, clockPaints, scrollPaints));

    // Only the scrolling text (between runs).
    DXCas1.stopRun();
    print("scrolling text only", run(seconds, frames, clockPaints, scrollPaints));

    // Everything idle: clock stopped, scrolling text stopped, both windows still shown.
    led.haltScroll();
    std::printf("frame timer active while idle: %s\n", frames.active() ? "yes" : "no");
    print("idle", run(seconds, frames, clockPaints, scrollPaints));

    // Cost of the scrolling line by the length of its text, on a window of its own whose frames
    // carry a chosen time: the frame that sets the text, the first frame that shows it, and the
    // usual frame later, with the middle of the text in view. Every frame is painted at once
    // (repaint), as the display shows it.
    {
        std::int64_t mono = 0;
        FrameClock manual(nullptr, [&mono] { return mono; });
        TfrmLED line(&manual);
        line.setLedBounds(QRect(0, 0, 800, 600));
        line.show();
        QElapsedTimer wait;
        wait.start();
        while (!(line.windowHandle() && line.windowHandle()->isExposed()) && wait.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const auto ms = [](const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; };
        for (const int length : {50, 1000, 10000}) {
            QString text;
            const QString words = QStringLiteral("SDH Horní Lhota, SDH Dolní Lhota, SDH Velké Meziříčí – ");
            while (text.size() < length)
                text += words;
            text.truncate(length);
            QElapsedTimer t;
            t.start();
            line.restartScroll(text);
            line.DXDraw->repaint();
            const double set = ms(t);
            // One second later the text's beginning is in view.
            mono += 1000;
            t.restart();
            manual.tick();
            line.DXDraw->repaint();
            const double shown = ms(t);
            // The middle of the text: as far from the right edge as half its wrap distance.
            mono += static_cast<std::int64_t>((line.DXDraw->width() + 35.0 * length / 2) / 60.0 * 1000.0);
            manual.tick();
            line.DXDraw->repaint();
            const int n = 600;
            const double cpu0 = cpuSeconds();
            t.restart();
            for (int i = 0; i < n; ++i) {
                mono += 17;
                manual.tick();
                line.DXDraw->repaint();
            }
            std::printf("scrolling text of %5d characters: set %7.2f ms, first shown %7.2f ms, "
                        "then %.3f ms per frame (cpu %.3f ms)\n",
                        length, set, shown, ms(t) / n, (cpuSeconds() - cpu0) * 1000.0 / n);
        }
    }

    // Cost of one layout (it runs on every resize step while the operator drags the window).
    for (const QSize size : {QSize(462, 328), QSize(1920, 1080), QSize(3840, 2160)}) {
        led.resize(size);
        QElapsedTimer t;
        t.start();
        const int n = 50;
        for (int i = 0; i < n; ++i)
            led.PrekresliLED();
        std::printf("PrekresliLED at %4dx%-4d: %.2f ms per layout, row font %d pt\n", size.width(),
                    size.height(), static_cast<double>(t.nsecsElapsed()) / 1e6 / n,
                    led.layout().rowPointSize);
    }
    return 0;
}
