#pragma once

#include "display/ledlayout.h"
#include "display/runclock.h"
#include "display/scroller.h"
#include "display/scrollpieces.h"
#include "display/splits.h"
#include "display/windowbounds.h"

#include <QHash>
#include <QPixmap>
#include <QWidget>

#include <array>
#include <functional>

class FrameClock;
class QLabel;
class QLineEdit;
class QTimer;
class TfrmLED;

// The scrolling line of the LED window (`DXDraw`): black, the text in aqua Arial bold 50 pt at
// the model's position. The text is cut into short pieces (ScrollPieces), each rendered into a
// small pixmap when it comes into view; a frame draws only the pieces in view, so a text of any
// length scrolls at the cost of a short one.
class LedScrollLine : public QWidget {
    Q_OBJECT
public:
    LedScrollLine(const stopky::Scroller* model, QWidget* parent);
    // Number of frames painted (for the benchmark).
    std::int64_t paints() const { return m_paints; }
    // Width of the text held rendered, in pixels: about the line's width, whatever the text's.
    int heldWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QPixmap& piecePixmap(qsizetype index);

    const stopky::Scroller* m_model;
    stopky::ScrollPieces m_pieces;
    bool m_measured = false;
    qreal m_dpr = 0;
    QHash<qsizetype, QPixmap> m_cache; // the pieces in view (or just left behind)
    std::int64_t m_paints = 0;
};

// The LED display window for the public: the team's name, the four split rows, the scrolling
// line and the START banner, on black. Hidden at creation; the console shows and hides it.
//
// The window holds no logic of its own: the layout comes from ledlayout::compute, the split rows
// from a SplitTimes, the scrolling line from a Scroller. Every key pressed here goes to onKeyDown
// (the console's key handler), so the space bar takes split times here too.
class TfrmLED : public QWidget {
    Q_OBJECT
public:
    explicit TfrmLED(FrameClock* frames, QWidget* parent = nullptr);
    ~TfrmLED() override;

    // The console's texts the layout uses: team name (`edtSDH`) and row names (`edtM0`, `edtM1`,
    // `edtM2`, `edtMR`). Stored; laid out at once only while the window shows, else at the next
    // showing.
    void setTexts(const QString& teamName, const std::array<QString, 4>& rowNames);

    // Lays the window out for its current size and the stored texts.
    void PrekresliLED();

    // The split rows as taken (names and times; the count in the "tag" property of lblCas0..2),
    // then the layout. An empty SplitTimes empties the eight row labels (the reset byte).
    void showSplits(const stopky::SplitTimes& splits);
    void clearRows();

    // START banner: shown for tmrStart's interval (5000 ms) from the start byte; the reset byte
    // hides it at once.
    void showStartBanner();
    void hideStartBanner();

    // Scrolling line. restartScroll: `Scrolly` := text, from the right edge, moving and shown
    // (edtText lost the focus, or the text came from zapisnik). stopScroll: not moving, line
    // hidden (edtText gained the focus). haltScroll: not moving, the last frame stays (version
    // set-up).
    void restartScroll(const QString& text);
    void stopScroll();
    void haltScroll();
    const stopky::Scroller& scroller() const { return m_scroller; }

    // Window bounds as kept in qx.ini ("Left", "Top", "Width", "Height"): the outer rectangle,
    // caption and borders included, as far as the window system reports them; bounds off every
    // screen are moved onto the primary one (WindowBounds).
    QRect ledBounds() const;
    void setLedBounds(const QRect& outer);

    // The measuring function of the layout: the window's Arial bold at a point size.
    static QSize measure(const QString& text, int pointSize);
    const stopky::ledlayout::Result& layout() const { return m_layout; }

    // The console's key handler.
    std::function<void(int key, Qt::KeyboardModifiers modifiers)> onKeyDown;

    // Controls, under the names the tests look for with findChild.
    QLabel* lblSDH = nullptr;
    std::array<QLabel*, 4> lblM{};   // lblM0, lblM1, lblM2, lblMR
    std::array<QLabel*, 4> lblCas{}; // lblCas0 .. lblCas3
    QLabel* lblM0 = nullptr;
    QLabel* lblM1 = nullptr;
    QLabel* lblM2 = nullptr;
    QLabel* lblMR = nullptr;
    QLabel* lblCas0 = nullptr;
    QLabel* lblCas1 = nullptr;
    QLabel* lblCas2 = nullptr;
    QLabel* lblCas3 = nullptr;
    QLabel* lblpom = nullptr;
    LedScrollLine* DXDraw = nullptr;
    QLabel* pnlStart = nullptr;
    QTimer* tmrStart = nullptr;

signals:
    // The window's close button hid it: the console releases `SB_zobr`.
    void closedByUser();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void onFrame(double nowMs);
    void updateFrameNeed();

    FrameClock* m_frames;
    stopky::Scroller m_scroller;
    stopky::ledlayout::Result m_layout;
    QString m_teamName;
    std::array<QString, 4> m_rowNames;
    WindowBounds* m_bounds = nullptr;
};

// Wires the console's `edtText` to the scrolling line: gaining the focus stops and hides the
// line, losing it restarts it with the edit box's text.
void watchScrollFocus(QLineEdit* edtText, TfrmLED* led);

// The console's result labels `lblM0C`, `lblM1C`, `lblM2C`, `lblMRC`: "name: time" for each taken
// row, shown; the others hidden.
void showConsoleSplits(const stopky::SplitTimes& splits, const std::array<QLabel*, 4>& labels);

// `mezicas` as the console runs it on the space bar: while the clock runs, takes the next split
// (elapsed time from the monotonic run clock, `format` = the format choice in force, `names` =
// texts of edtM0, edtM1, edtM2, edtMR), shows the rows on the LED window (and lays it out) and in
// the console's result labels, and returns the AM_Mezi values to send, in order. When the clock
// does not run or all four rows are taken nothing changes and nothing is returned.
QList<stopky::SplitTimes::AmMezi> mezicas(stopky::SplitTimes& splits, const stopky::RunClock& clock,
                                          int format, const std::array<QString, 4>& names, TfrmLED* led,
                                          const std::array<QLabel*, 4>& consoleLabels);
