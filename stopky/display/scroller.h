#pragma once

#include <QString>

namespace stopky {

// The LED window's scrolling line as a model: which text, where it stands, whether it moves.
//
// The text moves left at a steady speed measured in pixels per second, so it covers the same
// distance whatever the frame rate (the reference is one pixel per frame at 60 Hz). The caller
// passes the monotonic time of each frame in milliseconds (fractions allowed); the model never
// reads a clock itself.
//
// The position is kept in the middle of a pixel: the first frame after a restart moves by whole
// pixels, later frames by the exact distance. At a frame rate near 60 Hz every frame then moves
// the drawn text by one pixel, without the doubled and skipped steps that a position sitting on
// a pixel boundary would give with slightly uneven frame times.
//
// Wrap rule: once the position falls below -35 pixels times the number of characters, the text
// enters again from the right edge (the position becomes the line's width).
class Scroller {
public:
    static constexpr double kPixelsPerSecond = 60.0;
    static constexpr int kWrapPixelsPerChar = 35;

    // (Re)starts the text at the right edge: `Scrolly` := text, `scroll` := width, moving.
    void restart(const QString& text, double nowMs);
    // Stops moving; the position stays where it is.
    void stop() { m_moving = false; }

    bool moving() const { return m_moving; } // `t_posun`
    const QString& Scrolly() const { return m_text; }
    int scroll() const;                           // x at which the text is drawn
    double position() const { return m_x - 0.5; } // the same, with its fraction

    // Width of the drawing line; the text re-enters at this x.
    void setWidth(int width) { m_width = width; }
    int width() const { return m_width; }

    // One frame at monotonic time nowMs: moves the text by the time passed since the last frame
    // and applies the wrap rule. Does nothing while stopped.
    void advance(double nowMs);

private:
    QString m_text;
    double m_x = 0;
    int m_width = 0;
    double m_lastMs = 0;
    bool m_moving = false;
    bool m_aligned = false; // the first frame after the restart has moved
};

} // namespace stopky
