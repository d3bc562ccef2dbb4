#include "seriallink.h"

#include "device/DeviceVersions.h"
#include "link/Settings.h"

#include <QSerialPort>

namespace stopky {

SerialLink::SerialLink(QObject* parent) : QObject(parent), m_port(new QSerialPort(this)) {
    m_noAnswer.setSingleShot(true);
    m_noAnswer.setInterval(5000);
    connect(&m_noAnswer, &QTimer::timeout, this, &SerialLink::onNoAnswer);
    m_fourthByte.setSingleShot(true);
    m_fourthByte.setInterval(1010);
    connect(&m_fourthByte, &QTimer::timeout, this, &SerialLink::onFourthByteTimeout);

    m_port->setReadBufferSize(4096); // bounded while nobody reads (no answer)
    connect(m_port, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if ((e == QSerialPort::ResourceError || e == QSerialPort::ReadError) && m_port->isOpen()) {
            const QString reason = m_port->errorString();
            stopWaits();
            closePort();
            setState(State::NoPort);
            emit portLost(reason);
        }
    });
}

SerialLink::~SerialLink() {
    stopWaits();
    closePort();
}

int SerialLink::greetingWaitCount(int verze) {
    return qx::deviceVersion(verze).pocetB_Uvod;
}

int SerialLink::greetingReadCount(int verze) {
    return qx::deviceVersion(verze).greetingBytes;
}

QString SerialLink::choosePromptLine1() {
    return QStringLiteral("Vyberte komunikační port a ");
}
QString SerialLink::choosePromptLine2() {
    return QStringLiteral("zapněte časomíru:");
}
QString SerialLink::noAnswerPromptLine1() {
    return QStringLiteral("Časomíra nenavázala komunikaci. Vypněte  ");
}
QString SerialLink::noAnswerPromptLine2() {
    return QStringLiteral("časomíru, vyberte jiný port a zapněte ji!");
}

void SerialLink::setVersion(int verze) {
    m_verze = verze;
    if (m_state == State::Waiting && !m_fourthPending)
        QMetaObject::invokeMethod(this, &SerialLink::checkGreeting, Qt::QueuedConnection);
}

void SerialLink::setNoAnswerInterval(int ms) {
    m_noAnswer.setInterval(ms);
}
void SerialLink::setFourthByteTimeout(int ms) {
    m_fourthByte.setInterval(ms);
}

bool SerialLink::isOpen() const {
    return m_port->isOpen();
}
QString SerialLink::portName() const {
    return m_port->portName();
}

void SerialLink::setState(State s) {
    if (m_state == s) return;
    m_state = s;
    emit stateChanged(s);
}

void SerialLink::stopWaits() {
    m_noAnswer.stop();
    m_fourthByte.stop();
    m_fourthPending = false;
}

void SerialLink::closePort() {
    ++m_generation;
    m_buf.clear();
    m_fourthByte.stop();
    m_fourthPending = false;
    if (m_port->isOpen()) m_port->close();
    m_port->clearError();
}

bool SerialLink::choosePort(const QString& portName) {
    emit promptChanged(choosePromptLine1(), choosePromptLine2());
    closePort();

    m_port->setPortName(portName);
    m_port->setBaudRate(QSerialPort::Baud9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    // The device is only listened to: a read-only port cannot be written by mistake. QSerialPort
    // opens exclusively (a lock file and TIOCEXCL) and puts the line into raw mode.
    if (!m_port->open(QIODevice::ReadOnly)) {
        m_port->clearError();
        stopWaits();
        setState(State::NoPort);
        return false;
    }
    ++m_generation;
    // Opening raised DTR and RTS; DTR is the device's start signal and stays low until the
    // automatic start pulses it. A pseudo-terminal refuses both calls, which is harmless.
    m_port->setDataTerminalReady(false);
    m_port->setRequestToSend(true);
    m_port->clearError();

    m_buf.clear();
    m_fourthPending = false;
    setState(State::Waiting);
    if (!m_noAnswer.isActive()) // a running period is kept, not restarted
        m_noAnswer.start();
    if (m_port->bytesAvailable() > 0) onReadyRead();
    return true;
}

void SerialLink::close() {
    stopWaits();
    closePort();
    setState(State::NoPort);
}

void SerialLink::setDtr(bool high) {
    if (!m_port->isOpen()) return;
    m_port->setDataTerminalReady(high);
    m_port->clearError();
}

void SerialLink::onReadyRead() {
    switch (m_state) {
    case State::Connected: {
        const QByteArray bytes = m_port->readAll();
        if (!bytes.isEmpty()) emit dataReceived(bytes);
        break;
    }
    case State::Waiting:
        m_buf += m_port->readAll();
        checkGreeting();
        break;
    case State::NoAnswer:
        // With the device's last settings known, a device that kept running while the console was
        // down may stay quiet longer than the wait (nobody touches it between runs): its first
        // bytes, whenever they come, still resume the timing (or greet, when it was switched on).
        if (m_resumeAllowed) {
            m_buf += m_port->readAll();
            checkGreeting();
        }
        break;
    case State::NoPort:
        // Nobody reads: the bytes wait in the port until it is chosen again (which drops them).
        break;
    }
}

bool SerialLink::awaitingGreeting() const {
    return m_state == State::Waiting || (m_state == State::NoAnswer && m_resumeAllowed);
}

void SerialLink::checkGreeting() {
    if (!awaitingGreeting()) return;
    const int readCount = greetingReadCount(m_verze);
    if (m_fourthPending) {
        if (m_buf.size() >= 4) {
            if (!greetingFits(m_verze, QByteArrayView(m_buf).first(4)))
                rejectGreeting();
            else
                finishGreeting(4);
        }
        return;
    }
    if (m_buf.size() < greetingWaitCount(m_verze)) {
        // Bytes that no greeting of this version starts with tell it at once: a lone reset (AA)
        // of a device that kept running must not wait for more bytes that may come only with the
        // next run.
        if (!m_buf.isEmpty() && !greetingFits(m_verze, m_buf)) rejectGreeting();
        return;
    }
    if (!greetingFits(m_verze, QByteArrayView(m_buf).first(qMin<qsizetype>(m_buf.size(), readCount)))) {
        rejectGreeting();
        return;
    }
    if (readCount == 4 && m_buf.size() < 4) {
        // The fourth byte is still on its way: wait for it without blocking, up to the timeout.
        m_fourthPending = true;
        m_fourthByte.start();
        return;
    }
    finishGreeting(readCount);
}

void SerialLink::finishGreeting(int count) {
    const QByteArray greeting = m_buf.left(count);
    const QByteArray rest = m_buf.mid(count);
    m_buf.clear();
    const int verze = m_verze;
    // After the greeting the no-answer timer has nothing left to do: its message would only go to
    // the hidden port-choice panel.
    stopWaits();
    setState(State::Connected);
    const quint64 gen = m_generation;
    emit greetingReceived(greeting, verze);
    if (gen == m_generation && m_state == State::Connected && !rest.isEmpty()) emit dataReceived(rest);
    // Bytes that came while the handlers ran are delivered by the next readyRead().
}

void SerialLink::rejectGreeting() {
    const QByteArray bytes = m_buf;
    m_buf.clear();
    m_fourthByte.stop();
    m_fourthPending = false;
    const int verze = m_verze;
    if (!m_resumeAllowed) {
        // Dropped; the no-answer timer keeps running, and its prompt asks for a power cycle.
        emit greetingRejected(bytes, verze);
        return;
    }
    stopWaits();
    setState(State::Connected);
    emit resumedWithoutGreeting(bytes, verze);
}

void SerialLink::onFourthByteTimeout() {
    if (awaitingGreeting() && m_fourthPending) finishGreeting(int(qMin<qsizetype>(m_buf.size(), 4)));
}

void SerialLink::onNoAnswer() {
    if (m_state != State::Waiting) return;
    if (m_fourthPending) {
        // Three bytes of the greeting are there; it completes when its fourth byte comes or its
        // timeout ends, as if it had been read at once.
        return;
    }
    m_fourthByte.stop();
    setState(State::NoAnswer);
    emit promptChanged(noAnswerPromptLine1(), noAnswerPromptLine2());
}

} // namespace stopky
