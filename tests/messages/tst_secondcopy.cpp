// A second copy of either program, started while the first one holds its name on the channel:
// it tells the operator that the program already runs, before it opens the timing device's port
// or connects to the database. A channel that cannot listen at all is told as well. The real
// programs run as separate processes (offscreen); the test stands in for the first copy, the
// port (a pseudo-terminal) and the database server (a socket that nobody may connect to).

#include "../link/ptypair.h"
#include "messages/LocalChannel.h"
#include "messages/Messages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

int listenAt(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray p = QFile::encodeName(path);
    std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The pseudo-terminal's other side is not open: the master sees a hang-up.
bool slaveClosed(int master) {
    pollfd p{master, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP);
}

} // namespace

class TestSecondCopy : public QObject {
    Q_OBJECT
private slots:
    void operatorIsTold_data();
    void operatorIsTold();
};

void TestSecondCopy::operatorIsTold_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("firstCopyRuns");
    QTest::addColumn<bool>("longRuntimeDir");
    QTest::addColumn<QString>("told");

    QTest::newRow("stopky twice") << QStringLiteral(STOPKY_PATH) << true << false
                                  << QStringLiteral("Program stopky už běží");
    QTest::newRow("zapisnik twice") << QStringLiteral(ZAPISNIK_PATH) << true << false
                                    << QStringLiteral("Program zapisnik už běží");
    QTest::newRow("stopky, XDG_RUNTIME_DIR too long")
        << QStringLiteral(STOPKY_PATH) << false << true << QStringLiteral("nastavte kratší XDG_RUNTIME_DIR");
    QTest::newRow("zapisnik, XDG_RUNTIME_DIR too long") << QStringLiteral(ZAPISNIK_PATH) << false << true
                                                        << QStringLiteral("nastavte kratší XDG_RUNTIME_DIR");
}

void TestSecondCopy::operatorIsTold() {
    QFETCH(QString, program);
    QFETCH(bool, firstCopyRuns);
    QFETCH(bool, longRuntimeDir);
    QFETCH(QString, told);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString runtimeDir = dir.path();
    if (longRuntimeDir) {
        runtimeDir = dir.filePath(QStringLiteral("r").repeated(110));
        QVERIFY(QDir().mkpath(runtimeDir));
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir));
    const bool isStopky = program.endsWith(u"/stopky");
    qx::LocalChannel first(isStopky ? qx::StopkyName : qx::ZapisnikName);
    if (firstCopyRuns) QVERIFY(first.listen());

    PtyPair port;
    QVERIFY(port.isValid());
    // Opened and closed once: from now on the master sees a hang-up while nobody has it open.
    const int slave = ::open(QFile::encodeName(port.slavePath()).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(slave >= 0);
    ::close(slave);
    QVERIFY(slaveClosed(port.masterFd()));
    const int database = listenAt(dir.filePath(QStringLiteral("mysqld.sock")));
    QVERIFY(database >= 0);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.insert(QStringLiteral("QX_CONFIG_DIR"), dir.path());
    env.insert(QStringLiteral("MYSQL_UNIX_PORT"), dir.filePath(QStringLiteral("mysqld.sock")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(program, isStopky ? QStringList{QStringLiteral("--port"), port.slavePath()} : QStringList{});
    QVERIFY(p.waitForStarted(5000));
    const auto stop = qScopeGuard([&] {
        p.kill();
        p.waitForFinished(5000);
        ::close(database);
    });

    // The text goes to the standard error too; the box with it waits for the operator.
    QByteArray err;
    QTRY_VERIFY2_WITH_TIMEOUT((err += p.readAllStandardError()).contains(told.toUtf8()), err.constData(),
                              10000);
    if (firstCopyRuns) {
        QVERIFY(slaveClosed(port.masterFd()));
        pollfd pd{database, POLLIN, 0};
        QCOMPARE(::poll(&pd, 1, 0), 0); // nobody connected to the database
    }
}

QTEST_GUILESS_MAIN(TestSecondCopy)
#include "tst_secondcopy.moc"
