#pragma once

// The serial link to the timing device: opening the chosen port, waiting for the device's greeting,
// and handing every later byte to the decoder as it arrives. Nothing is ever written to the port;
// the console signals the device only through the modem lines (RTS raised, DTR pulsed).

#include "serialdtr.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QSerialPort;

namespace stopky {

class SerialLink : public QObject, public DtrLine {
    Q_OBJECT
public:
    enum class State {
        NoPort,    // start-up, or the last open failed
        Waiting,   // port open, greeting awaited (the no-answer timer runs)
        NoAnswer,  // port open, the device did not answer in time, prompt shown
        Connected, // greeting read; every byte goes to dataReceived()
    };
    Q_ENUM(State)

    explicit SerialLink(QObject* parent = nullptr);
    ~SerialLink() override;

    // The device version decides the greeting's byte counts. It is read each time bytes arrive, so
    // a version chosen while the greeting is awaited applies to it (checked again at once).
    void setVersion(int verze);
    int version() const { return m_verze; }

    // pocetB_Uvod of the table of device versions: waiting bytes at which the greeting is read.
    static int greetingWaitCount(int verze);
    // Bytes the greeting takes (greetingBytes of the table): 3, or 4 with the time-shown byte.
    static int greetingReadCount(int verze);

    // Interval of the no-answer timer (5000 ms). Tests shorten it.
    void setNoAnswerInterval(int ms);
    // How long a 4-byte greeting waits for its fourth byte (1010 ms).
    void setFourthByteTimeout(int ms);

    // Choosing a port (CBUvodChange): prompt lines reset, a port open before is closed, `portName`
    // (a device path such as /dev/ttyUSB0 or /dev/pts/3) opened exclusively, read-only, 9600 8N1,
    // raw, no flow control; DTR lowered, RTS raised (modem-line errors ignored: a pseudo-terminal
    // has none). Then the greeting is awaited and the no-answer timer started; a timer still
    // running from an earlier choice keeps its period (only the rest of the 5 s remains).
    // A failed open stops both waits and leaves no port open. Returns whether the port opened.
    bool choosePort(const QString& portName);

    // What to do with first bytes that cannot be the greeting (greetingFits): a device that kept
    // running while the console restarted sends time frames instead. When resuming is allowed
    // (the console knows the device's last settings) the link counts as connected and hands the
    // bytes over through resumedWithoutGreeting(); otherwise they are dropped and the greeting is
    // still awaited (greetingRejected()).
    // Resuming also goes on after the no-answer prompt: bytes that come then are still read.
    void setResumeAllowed(bool allowed) { m_resumeAllowed = allowed; }
    bool resumeAllowed() const { return m_resumeAllowed; }

    // Closes the port (shutdown); both waits stop.
    void close();

    State state() const { return m_state; }
    bool isOpen() const;
    QString portName() const;
    bool noAnswerTimerActive() const { return m_noAnswer.isActive(); }

    // DtrLine: sets DTR of the open port; without an open port, or when the port refuses it,
    // nothing happens.
    void setDtr(bool high) override;

    // The texts of the two prompt lines lblUvod / lblUvod1.
    static QString choosePromptLine1();   // "Vyberte komunikační port a "
    static QString choosePromptLine2();   // "zapněte časomíru:"
    static QString noAnswerPromptLine1(); // "Časomíra nenavázala komunikaci. Vypněte  "
    static QString noAnswerPromptLine2(); // "časomíru, vyberte jiný port a zapněte ji!"

    QSerialPort* port() const { return m_port; }

signals:
    // The prompt lines changed: at each choice of a port (the choose prompt) and when the device
    // did not answer in time (the no-answer prompt).
    void promptChanged(const QString& line1, const QString& line2);

    // The greeting has arrived: its first `greetingReadCount(verze)` bytes, in order, for the
    // version in force. A 4-byte greeting whose fourth byte did not come within the timeout is
    // handed over with 3 bytes (the third settings byte then keeps its previous value).
    // Emitted before any dataReceived() of this connection.
    void greetingReceived(const QByteArray& greeting, int verze);

    // After the greeting: the bytes as they arrive, in order. The bytes the device sent beyond the
    // greeting (versions that wait for 5 and read 3) come first, right after greetingReceived().
    void dataReceived(const QByteArray& bytes);

    void stateChanged(stopky::SerialLink::State state);

    // The first bytes did not fit a greeting and resuming is allowed: the link is connected (state
    // Connected, no greetingReceived) and `bytes` are the device's stream from some point on;
    // later bytes come through dataReceived().
    void resumedWithoutGreeting(const QByteArray& bytes, int verze);
    // The first bytes did not fit a greeting and were dropped; the greeting is still awaited.
    void greetingRejected(const QByteArray& bytes, int verze);

    // The open port failed (device gone, read error); it has been closed (state NoPort).
    void portLost(const QString& reason);

private:
    void onReadyRead();
    // Waiting for the greeting, or past the no-answer prompt with resuming allowed.
    bool awaitingGreeting() const;
    void checkGreeting();
    void finishGreeting(int count);
    void rejectGreeting();
    void onNoAnswer();
    void onFourthByteTimeout();
    void stopWaits();
    void closePort();
    void setState(State s);

    QSerialPort* m_port = nullptr;
    QTimer m_noAnswer;   // tmrVyprs
    QTimer m_fourthByte; // deadline of a 4-byte greeting's fourth byte
    QByteArray m_buf;    // greeting bytes received so far
    int m_verze = 454;
    State m_state = State::NoPort;
    bool m_fourthPending = false;
    bool m_resumeAllowed = false;
    quint64 m_generation = 0; // advances at every open and close
};

} // namespace stopky
