#include "link/seriallink.h"
#include "link/serialports.h"
#include "ptypair.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <cerrno>
#include <sys/ioctl.h>

using namespace stopky;
using State = SerialLink::State;

Q_DECLARE_METATYPE(QList<QByteArray>)

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

// What the link handed on, in order: "G:<hex>" for a greeting, the data bytes as hex otherwise.
struct Recorder {
    QStringList events;
    QByteArray data;
    explicit Recorder(SerialLink& link) {
        QObject::connect(&link, &SerialLink::greetingReceived, [this](const QByteArray& g, int) {
            events << QStringLiteral("G:") + QString::fromLatin1(g.toHex());
        });
        QObject::connect(&link, &SerialLink::dataReceived, [this](const QByteArray& d) {
            if (events.isEmpty() || !events.last().startsWith(QLatin1String("D")))
                events << QStringLiteral("D");
            data += d;
        });
    }
};
} // namespace

class TestSerialLink : public QObject {
    Q_OBJECT
private slots:
    void greetingPerVersion_data() {
        QTest::addColumn<int>("verze");
        QTest::addColumn<QList<QByteArray>>("chunks"); // written 150 ms apart
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<QByteArray>("leftover");
        QTest::newRow("454: waits for 5, reads 3")
            << 454 << QList<QByteArray>{hex("0a00"), hex("01a1ae")} << hex("0a0001") << hex("a1ae");
        QTest::newRow("463: 4 bytes are not enough")
            << 463 << QList<QByteArray>{hex("0c0002a2"), hex("ac55")} << hex("0c0002") << hex("a2ac55");
        QTest::newRow("458: reads 3")
            << 458 << QList<QByteArray>{hex("0b"), hex("0002")} << hex("0b0002") << QByteArray();
        QTest::newRow("468: 4 at once, more behind")
            << 468 << QList<QByteArray>{hex("010aa1aeaa")} << hex("010aa1ae") << hex("aa");
        QTest::newRow("466: fourth byte late")
            << 466 << QList<QByteArray>{hex("0103a2"), hex("ac")} << hex("0103a2ac") << QByteArray();
    }
    void greetingPerVersion() {
        QFETCH(int, verze);
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QByteArray, greeting);
        QFETCH(QByteArray, leftover);
        PtyPair pty;
        QVERIFY(pty.isValid());
        SerialLink link;
        link.setVersion(verze);
        Recorder rec(link);
        QVERIFY(link.choosePort(pty.slavePath()));
        QCOMPARE(link.state(), State::Waiting);
        for (const QByteArray& c : chunks) {
            QVERIFY(rec.events.isEmpty()); // nothing before the greeting is complete
            QVERIFY(pty.send(c));
            QTest::qWait(150);
        }
        QTRY_COMPARE(link.state(), State::Connected);
        QStringList expected{QStringLiteral("G:") + QString::fromLatin1(greeting.toHex())};
        if (!leftover.isEmpty()) expected << QStringLiteral("D");
        // after the greeting every byte goes on, in order
        const QByteArray later = hex("ba0112345655aad5a5");
        QVERIFY(pty.send(later));
        QTRY_COMPARE(rec.data, leftover + later);
        if (leftover.isEmpty()) expected << QStringLiteral("D");
        QCOMPARE(rec.events, expected);
        QVERIFY(!link.noAnswerTimerActive());
    }

    void fourthByteWaitDoesNotBlock_data() {
        QTest::addColumn<bool>("fourthComes");
        QTest::newRow("fourth comes after 400 ms") << true;
        QTest::newRow("fourth never comes") << false;
    }
    void fourthByteWaitDoesNotBlock() {
        QFETCH(bool, fourthComes);
        PtyPair pty;
        SerialLink link;
        link.setVersion(467);
        link.setFourthByteTimeout(700);
        Recorder rec(link);
        QVERIFY(link.choosePort(pty.slavePath()));
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(20);
        QVERIFY(pty.send(hex("010a12")));
        QTest::qWait(400);
        QVERIFY(rec.events.isEmpty());
        QVERIFY2(ticks >= 10, "the event loop must keep running while the fourth byte is awaited");
        if (fourthComes) QVERIFY(pty.send(hex("ae")));
        QTRY_COMPARE(link.state(), State::Connected);
        QCOMPARE(rec.events,
                 QStringList{fourthComes ? QStringLiteral("G:010a12ae") : QStringLiteral("G:010a12")});
    }

    void noAnswerPrompt() {
        PtyPair pty;
        SerialLink link;
        link.setVersion(458);
        link.setNoAnswerInterval(200);
        QSignalSpy prompts(&link, &SerialLink::promptChanged);
        Recorder rec(link);
        QVERIFY(link.choosePort(pty.slavePath()));
        QCOMPARE(prompts.size(), 1);
        QCOMPARE(prompts.at(0).at(0).toString(), QStringLiteral("Vyberte komunikační port a "));
        QCOMPARE(prompts.at(0).at(1).toString(), QStringLiteral("zapněte časomíru:"));
        QTRY_COMPARE(link.state(), State::NoAnswer);
        QCOMPARE(prompts.size(), 2);
        QCOMPARE(prompts.at(1).at(0).toString(), QStringLiteral("Časomíra nenavázala komunikaci. Vypněte  "));
        QCOMPARE(prompts.at(1).at(1).toString(), QStringLiteral("časomíru, vyberte jiný port a zapněte ji!"));
        QVERIFY(link.isOpen()); // the port stays open
        // a greeting after the message is not read any more
        QVERIFY(pty.send(hex("0a0001")));
        QTest::qWait(150);
        QVERIFY(rec.events.isEmpty());

        // choosing the port again starts over, with a whole period
        QVERIFY(link.choosePort(pty.slavePath()));
        QCOMPARE(link.state(), State::Waiting);
        QVERIFY(link.noAnswerTimerActive());
        QVERIFY(pty.send(hex("0b0002")));
        QTRY_COMPARE(link.state(), State::Connected);
        QCOMPARE(rec.events, QStringList{QStringLiteral("G:0b0002")}); // the old bytes went with the old open
    }

    void rechoosingKeepsTheRunningPeriod() {
        PtyPair pty;
        SerialLink link;
        link.setVersion(458);
        link.setNoAnswerInterval(1200);
        Recorder rec(link);
        QVERIFY(link.choosePort(pty.slavePath()));
        QVERIFY(pty.send(hex("0a00"))); // an incomplete greeting
        QTest::qWait(500);
        QVERIFY(link.choosePort(pty.slavePath()));
        QCOMPARE(link.state(), State::Waiting);
        QVERIFY2(link.port()->isOpen(), "re-opened");
        // the timer was not restarted: only the rest of the period remains
        QElapsedTimer since;
        since.start();
        QTRY_COMPARE_WITH_TIMEOUT(link.state(), State::NoAnswer, 2000);
        QVERIFY2(since.elapsed() < 1000, qPrintable(QString::number(since.elapsed())));
        QVERIFY(rec.events.isEmpty());
    }

    void rechoosingDropsAPartialGreeting() {
        PtyPair pty;
        SerialLink link;
        link.setVersion(468);
        Recorder rec(link);
        QVERIFY(link.choosePort(pty.slavePath()));
        QVERIFY(pty.send(hex("010a")));
        QTest::qWait(100);
        QVERIFY(link.choosePort(pty.slavePath()));
        QVERIFY(pty.send(hex("010ca2ac")));
        QTRY_COMPARE(link.state(), State::Connected);
        QCOMPARE(rec.events, QStringList{QStringLiteral("G:010ca2ac")});
    }

    // First bytes that cannot be a greeting (a device that kept running while the console was
    // down): with resuming allowed the link is connected and hands them over as they came, the
    // later bytes follow as data; without, they are dropped and a real greeting is still read.
    void streamThatIsNoGreeting_data() {
        QTest::addColumn<int>("verze");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<bool>("resume");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("468 time frame, resumed")
            << 468 << hex("ba01001234") << true << QStringList{"R:ba01001234", "D"};
        QTest::newRow("468 fourth byte wrong, resumed")
            << 468 << hex("010aa1d0") << true << QStringList{"R:010aa1d0", "D"};
        QTest::newRow("454 reset, start, frame: five awaited, resumed")
            << 454 << hex("aaabba8005") << true << QStringList{"R:aaabba8005", "D"};
        QTest::newRow("468 lone reset of a running device, resumed at once")
            << 468 << hex("aa") << true << QStringList{"R:aa", "D"};
        QTest::newRow("468 time frame, dropped")
            << 468 << hex("ba01001234") << false << QStringList{"X:ba01001234", "G:010aa1ae", "D"};
        QTest::newRow("458 greeting is no resume")
            << 458 << hex("0b0002") << true << QStringList{"G:0b0002", "D"};
    }
    void streamThatIsNoGreeting() {
        QFETCH(int, verze);
        QFETCH(QByteArray, first);
        QFETCH(bool, resume);
        QFETCH(QStringList, events);
        PtyPair pty;
        QVERIFY(pty.isValid());
        SerialLink link;
        link.setVersion(verze);
        link.setResumeAllowed(resume);
        Recorder rec(link);
        connect(&link, &SerialLink::resumedWithoutGreeting, [&rec](const QByteArray& b, int) {
            rec.events << QStringLiteral("R:") + QString::fromLatin1(b.toHex());
        });
        connect(&link, &SerialLink::greetingRejected, [&rec](const QByteArray& b, int) {
            rec.events << QStringLiteral("X:") + QString::fromLatin1(b.toHex());
        });
        QVERIFY(link.choosePort(pty.slavePath()));
        QVERIFY(pty.send(first));
        QTRY_VERIFY(!rec.events.isEmpty());
        if (!resume) {
            QCOMPARE(link.state(), State::Waiting);
            QVERIFY(link.noAnswerTimerActive());
            QVERIFY(pty.send(hex("010aa1ae")));
            QTRY_COMPARE(link.state(), State::Connected);
        }
        QCOMPARE(link.state(), State::Connected);
        QVERIFY(!link.noAnswerTimerActive());
        QVERIFY(pty.send(hex("aaab")));
        QTRY_COMPARE(rec.data.right(2), hex("aaab"));
        QCOMPARE(rec.events, events);
    }

    // A device that kept running while the console was down may stay quiet past the no-answer
    // prompt: with its last settings known, its first bytes then still resume the timing.
    void resumeAfterTheNoAnswerPrompt() {
        PtyPair pty;
        QVERIFY(pty.isValid());
        SerialLink link;
        link.setVersion(468);
        link.setResumeAllowed(true);
        link.setNoAnswerInterval(200);
        QStringList resumed;
        connect(&link, &SerialLink::resumedWithoutGreeting,
                [&resumed](const QByteArray& b, int) { resumed << QString::fromLatin1(b.toHex()); });
        Recorder rec(link);
        QVERIFY(link.choosePort(pty.slavePath()));
        QTRY_COMPARE(link.state(), State::NoAnswer);
        QVERIFY(pty.send(hex("aa")));
        QTRY_COMPARE(link.state(), State::Connected);
        QCOMPARE(resumed, QStringList{u"aa"_qs});
        QVERIFY(pty.send(hex("abba01001234")));
        QTRY_COMPARE(rec.data, hex("abba01001234"));
    }

    void failedOpenStopsBothWaits_data() {
        QTest::addColumn<QByteArray>("before"); // sent before the failing choice
        QTest::newRow("waiting") << QByteArray();
        QTest::newRow("waiting for the fourth byte") << hex("010aa1");
    }
    void failedOpenStopsBothWaits() {
        QFETCH(QByteArray, before);
        PtyPair pty;
        SerialLink link;
        link.setVersion(468);
        link.setNoAnswerInterval(300);
        link.setFourthByteTimeout(300);
        QSignalSpy prompts(&link, &SerialLink::promptChanged);
        Recorder rec(link);
        QVERIFY(link.choosePort(pty.slavePath()));
        if (!before.isEmpty()) {
            QVERIFY(pty.send(before));
            QTest::qWait(100);
        }
        QVERIFY(!link.choosePort(QDir::tempPath() + QStringLiteral("/no-such-port")));
        QCOMPARE(link.state(), State::NoPort);
        QVERIFY(!link.isOpen());
        QVERIFY(!link.noAnswerTimerActive());
        QTest::qWait(500);
        QCOMPARE(link.state(), State::NoPort);
        QCOMPARE(prompts.size(), 2); // the two choices; no no-answer message
        QVERIFY(rec.events.isEmpty());
        link.setDtr(true); // without a port: nothing, no crash
    }

    void deviceGoneClosesThePort() {
        auto pty = std::make_unique<PtyPair>();
        SerialLink link;
        link.setVersion(458);
        QSignalSpy lost(&link, &SerialLink::portLost);
        QVERIFY(link.choosePort(pty->slavePath()));
        QVERIFY(pty->send(hex("0a0001")));
        QTRY_COMPARE(link.state(), State::Connected);
        pty.reset(); // the other end hangs up
        QTRY_COMPARE(lost.size(), 1);
        QCOMPARE(link.state(), State::NoPort);
        QVERIFY(!link.isOpen());
    }

    void openIsExclusive() {
        PtyPair pty;
        SerialLink first, second;
        QVERIFY(first.choosePort(pty.slavePath()));
        QVERIFY(!second.choosePort(pty.slavePath())); // the lock file
#ifdef TIOCGEXCL
        // and the terminal's exclusive mode, which refuses other opens (except a superuser's)
        const int fd = ::open(pty.slavePath().toLocal8Bit().constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
        int excl = 0;
        if (fd >= 0) {
            QCOMPARE(::ioctl(fd, TIOCGEXCL, &excl), 0);
            ::close(fd);
            QCOMPARE(excl, 1);
        } else {
            QCOMPARE(errno, EBUSY);
        }
#endif
        first.close();
        QVERIFY(second.choosePort(pty.slavePath()));
    }

    void portScan() {
        QTemporaryDir dev, sys, lock;
        for (const char* n : {"ttyS0", "ttyS1", "ttyS2", "ttyS10", "ttyUSB1", "ttyUSB0", "ttyACM0", "ttyACM3",
                              "tty5", "ttySX", "ttyUSB2"}) {
            QFile f(dev.filePath(QString::fromLatin1(n)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        auto type = [&](const char* n, const char* t) {
            QVERIFY(QDir(sys.path()).mkpath(QString::fromLatin1(n)));
            QFile f(sys.filePath(QString::fromLatin1(n) + QStringLiteral("/type")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(t);
        };
        type("ttyS0", "4\n");
        type("ttyS1", "0\n"); // no UART behind it
        type("ttyS2", "4\n");
        // ttyUSB2 is held by a running program (this one), ttyACM3's owner is gone
        QFile l1(lock.filePath(QStringLiteral("LCK..ttyUSB2")));
        QVERIFY(l1.open(QIODevice::WriteOnly));
        l1.write(QByteArray::number(QCoreApplication::applicationPid()) + "\nqx\nhost\n");
        l1.close();
        QFile l2(lock.filePath(QStringLiteral("LCK..ttyACM3")));
        QVERIFY(l2.open(QIODevice::WriteOnly));
        l2.write("      999999\n");
        l2.close();

        const QString d = dev.path() + QLatin1Char('/');
        const QStringList all = scanSerialPorts(10, dev.path(), sys.path(), {lock.path()});
        QCOMPARE(all, (QStringList{d + "ttyS0", d + "ttyS2", d + "ttyS10", d + "ttyUSB0", d + "ttyUSB1",
                                   d + "ttyACM0", d + "ttyACM3"}));
        QCOMPARE(scanSerialPorts(3, dev.path(), sys.path(), {lock.path()}),
                 (QStringList{d + "ttyS0", d + "ttyS2", d + "ttyS10"}));

        QCOMPARE(portList(QStringLiteral("/dev/pts/7")).value(0), QStringLiteral("/dev/pts/7"));
        QVERIFY(portList(QStringLiteral("/dev/pts/7")).size() <= 10);
        QCOMPARE(
            portArgument({QStringLiteral("stopky"), QStringLiteral("--port"), QStringLiteral("/dev/pts/3")}),
            QStringLiteral("/dev/pts/3"));
        QCOMPARE(portArgument({QStringLiteral("stopky"), QStringLiteral("--port=/dev/ttyUSB1")}),
                 QStringLiteral("/dev/ttyUSB1"));
        QCOMPARE(portArgument({QStringLiteral("stopky"), QStringLiteral("--port")}), QString());
    }
};

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
