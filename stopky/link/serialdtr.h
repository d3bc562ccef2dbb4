#pragma once

// The DTR line of the port: the device takes a short high pulse on it as its start signal.

#include <QObject>
#include <QTimer>

namespace stopky {

// Sets the port's DTR line. SerialLink implements it for the real port; tests put a recorder here.
class DtrLine {
public:
    virtual ~DtrLine() = default;
    virtual void setDtr(bool high) = 0;
};

// The start pulse: DTR high, a single-shot timer of `width` ms (5 by default), DTR low. It never
// blocks the event loop.
class DtrPulse : public QObject {
    Q_OBJECT
public:
    explicit DtrPulse(DtrLine* line, QObject* parent = nullptr);

    // Another line (tests); a pulse in progress is ended on the old line first.
    void setLine(DtrLine* line);
    void setWidth(int ms);
    int width() const { return m_timer.interval(); }
    bool isActive() const { return m_timer.isActive(); } // DTR is high now

public slots:
    // Raises DTR and lowers it after the width. A start during a pulse does nothing.
    void start();
    // Ends a pulse at once: a raised DTR is lowered now (the device must not see a long start
    // signal); finished() is not emitted. Nothing happens when no pulse runs.
    void cancel();

signals:
    void finished(); // DTR was lowered at the end of a whole pulse

private:
    void end();

    DtrLine* m_line;
    QTimer m_timer;
};

} // namespace stopky
