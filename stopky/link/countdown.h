#pragma once

// The preparation countdown on the console's first time line: started by the device's preparation
// byte 0x55 from the preparation text of lblPriprava ("5:00", "2:30", "12:30"), one tick a second
// ("5,00 ", "4,59 ", ... "0,00 ", then an empty line and the end), ended early by the start or
// reset byte.

#include <QObject>
#include <QString>
#include <QTimer>

namespace stopky {

// The minutes in front of the colon of a preparation text: "5:00" gives 5, "12:30" gives 12.
// Without a colon, the text without its last character ("500" gives 50). 0 when that is not a
// decimal number (the console's preparation label always holds one).
int StrToPrip(const QString& text);

class Countdown : public QObject {
    Q_OBJECT
public:
    explicit Countdown(QObject* parent = nullptr);

    // Interval of the tick timer tmrOdpocet (1000 ms). Tests shorten it or call tick() directly.
    void setTickInterval(int ms) { m_timer.setInterval(ms); }
    bool isRunning() const { return m_timer.isActive(); }
    int minutes() const { return m_pripravaM; }
    int seconds() const { return m_pripravaS; }

public slots:
    // Preparation byte 0x55: minutes and seconds from `lblPripravaText`, the first text shown at
    // once, the timer started. While the countdown already runs, the time is set back and shown
    // but the timer keeps its phase (it is not restarted).
    void start(const QString& lblPripravaText);
    // Start byte 0xAB or reset byte 0xAA: the timer stops. The time line is left to the caller.
    void stop();
    // One tick of tmrOdpocet (nothing while the countdown is stopped).
    void tick();

signals:
    // The new text of the first time line lblCas.
    void textChanged(const QString& text);
    // The countdown ran out by itself (the line has just become empty).
    void finished();

private:
    QTimer m_timer;
    int m_pripravaM = 0;
    int m_pripravaS = 0;
};

} // namespace stopky
