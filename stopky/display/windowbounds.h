#pragma once

#include <QObject>
#include <QRect>

class QWidget;

// The bounds of a top-level window as qx.ini keeps them: the outer rectangle, caption and
// borders included. Before a window is first shown its frame is unknown (the window system adds
// it on showing); the stored size is then taken as the client size and corrected once the frame
// is known, so that the stored outer size does not grow by the frame from one run to the next.
// Bounds that would put the window off every screen are moved onto the primary one
// (stopky::placeOnScreen).
class WindowBounds : public QObject {
public:
    explicit WindowBounds(QWidget* window);

    void setOuter(const QRect& outer);
    QRect outer() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fixOuterSize();

    QWidget* m_window;
    bool m_fixOuter = false; // the bounds were set as outer ones before the frame was known
};
