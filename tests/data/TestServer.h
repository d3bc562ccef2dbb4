#pragma once

// A private MariaDB server of one test program (scripts/mariadb.sh in a folder of its own), on
// its socket and on 127.0.0.1 at a free port, so that the test can stop it, start it again or
// stop its process (SIGSTOP) while the program under test is connected.

#include <QByteArray>
#include <QString>
#include <QStringList>

class TestServer {
public:
    // `dir`: the server's folder (created and initialised on the first start).
    explicit TestServer(const QString& dir);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Starts the server at port(); `env` (NAME=value) goes to the start script. False with *why
    // set when it did not start.
    bool start(QString* why = nullptr, const QStringList& env = {});
    bool stop();
    // The server process's id (0 when it does not run).
    qint64 pid() const;
    // SIGSTOP / SIGCONT to the server process: it keeps its connections but answers nothing.
    void pause();
    void resume();

    quint16 port() const { return port_; }
    QByteArray socket() const;
    // An administrative statement as root over the socket; false with *why set when it failed.
    bool exec(const QByteArray& sql, QString* why = nullptr) const;

    // A TCP port on 127.0.0.1 that nothing listens on (bound once by the test and given back).
    static quint16 freePort();

private:
    QString dir_;
    quint16 port_;
};
