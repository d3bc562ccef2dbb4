#pragma once

// A pseudo-terminal pair for the serial tests: the test writes the device's bytes into the master,
// the code under test opens the slave path like a serial port.

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

class PtyPair {
public:
    PtyPair() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return;
        termios tio{};
        if (::tcgetattr(m_master, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(m_master, TCSANOW, &tio);
        }
        m_slave = QString::fromLocal8Bit(::ptsname(m_master));
    }
    ~PtyPair() {
        if (m_master >= 0) ::close(m_master);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool isValid() const { return m_master >= 0 && !m_slave.isEmpty(); }
    QString slavePath() const { return m_slave; }
    int masterFd() const { return m_master; }
    bool send(const QByteArray& bytes) {
        return ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

private:
    int m_master = -1;
    QString m_slave;
};
