#pragma once

#include <QString>

#include <cstdint>

namespace stopky {

// The LED window's scrolling line as a model: which text, where it stands, whether it moves.
//
// The text moves left at a steady speed measured in pixels per second, so it covers the same
// distance whatever the frame rate (the reference is one pixel per frame at 60 Hz). The caller
// passes the monotonic time of each frame; the model never reads a clock itself.
//
// Wrap rule: once the position falls below -35 pixels times the number of characters, the text
// enters again from the right edge (the position becomes the line's width).
class Scroller {
public:
    static constexpr double kPixelsPerSecond = 60.0;
    static constexpr int kWrapPixelsPerChar = 35;

    // (Re)starts the text at the right edge: `Scrolly` := text, `scroll` := width, moving.
    void restart(const QString& text, std::int64_t nowMs);
    // Stops moving; the position stays where it is.
    void stop() { m_moving = false; }

    bool moving() const { return m_moving; } // `t_posun`
    const QString& Scrolly() const { return m_text; }
    int scroll() const;                      // x at which the text is drawn
    double position() const { return m_x; }  // the same, with its fraction

    // Width of the drawing line; the text re-enters at this x.
    void setWidth(int width) { m_width = width; }
    int width() const { return m_width; }

    // One frame at monotonic time nowMs: moves the text by the time passed since the last frame
    // and applies the wrap rule. Does nothing while stopped.
    void advance(std::int64_t nowMs);

private:
    QString m_text;
    double m_x = 0;
    int m_width = 0;
    std::int64_t m_lastMs = 0;
    bool m_moving = false;
};

} // namespace stopky
