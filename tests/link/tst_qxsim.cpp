#include "display/TimeText.h"
#include "link/Decoder.h"
#include "link/seriallink.h"
#include "qxsim_proto.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

using namespace stopky;

Q_DECLARE_METATYPE(qxsim::Bytes)

namespace {
qxsim::Bytes bytes(const char* hex) {
    const QByteArray b = QByteArray::fromHex(hex);
    return qxsim::Bytes(b.begin(), b.end());
}
} // namespace

// The simulator as a child process playing `script`; its port is the first line it prints.
struct Simulator {
    QTemporaryFile file;
    QProcess process;
    QString port;

    bool start(int verze, const QString& script) {
        if (!file.open()) return false;
        file.write(script.toUtf8());
        file.close();
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QStringLiteral(QX_SIM_PATH),
                      {QStringLiteral("--version"), QString::number(verze), file.fileName()});
        if (!process.waitForStarted()) return false;
        QDeadlineTimer deadline(5000);
        while (!process.canReadLine() && !deadline.hasExpired())
            process.waitForReadyRead(100);
        port = QString::fromLocal8Bit(process.readLine()).trimmed();
        return !port.isEmpty();
    }
    ~Simulator() {
        process.kill();
        process.waitForFinished();
    }
};

class TestQxSim : public QObject {
    Q_OBJECT
private slots:
    // The records are the examples of the time-record layouts: the console reads these bytes as
    // the time and target given here.
    void timeRecord_data() {
        QTest::addColumn<int>("verze");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<qxsim::Bytes>("record");
        QTest::newRow("466 P 12,345") << 466 << 1 << "12.345" << bytes("01012345");
        QTest::newRow("466 lane 4 123,456") << 466 << 9 << "123,456" << bytes("09123456");
        QTest::newRow("468 L 0") << 468 << 0 << "0" << bytes("00000000");
        QTest::newRow("454 lane 3 5,67") << 454 << 8 << "5.67" << bytes("800567");
        QTest::newRow("454 drops thousandths") << 454 << 8 << "5.679" << bytes("800567");
        QTest::newRow("456 L 5,678") << 456 << 0 << "5.678" << bytes("00056708");
        QTest::newRow("457 lane 1 12,34") << 457 << 6 << "12.34" << bytes("601234");
        QTest::newRow("463 result 2 999,99") << 463 << 5 << "999.99" << bytes("599999");
    }
    void timeRecord() {
        QFETCH(int, verze);
        QFETCH(int, code);
        QFETCH(QString, seconds);
        QFETCH(qxsim::Bytes, record);
        const auto t = qxsim::parseSeconds(seconds.toStdString());
        QVERIFY(t);
        QCOMPARE(qxsim::timeRecord(verze, code, *t), record);
        QCOMPARE(int(record.size()), qxsim::timeBytes(verze));
    }

    // Every version's record read back by the console's own time texts.
    void recordReadsBackAsTheTime() {
        for (int verze : {454, 456, 457, 458, 462, 463, 466, 467, 468}) {
            const auto rec = qxsim::timeRecord(verze, 1, 112345);
            TimeRecord r;
            std::copy(rec.begin(), rec.end(), r.b.begin());
            const bool threeDecimals = qxsim::timeBytes(verze) == 4;
            QCOMPARE(CasToStrOut(r, true, verze),
                     threeDecimals ? QStringLiteral("P 112,345") : QStringLiteral("P 112,34"));
        }
    }

    void parseSeconds() {
        QCOMPARE(qxsim::parseSeconds("12,3"), std::optional<int>(12300));
        QCOMPARE(qxsim::parseSeconds(".5"), std::optional<int>(500));
        for (const char* bad : {"", "1000", "1.2345", "1:30", "-1", "x", "."})
            QVERIFY2(!qxsim::parseSeconds(bad), bad);
    }

    void greetingBytes_data() {
        QTest::addColumn<int>("verze");
        QTest::addColumn<qxsim::Bytes>("greeting");
        QTest::newRow("468") << 468 << bytes("010aa1ae");
        QTest::newRow("467 minutes as given") << 467 << bytes("010a01ae");
        QTest::newRow("458") << 458 << bytes("0a0001");
        QTest::newRow("454 five") << 454 << bytes("0a0001d0d0");
    }
    void greetingBytes() {
        QFETCH(int, verze);
        QFETCH(qxsim::Bytes, greeting);
        QCOMPARE(qxsim::greeting(verze, 0x0A, 0x01, 0xAE), greeting);
        QCOMPARE(int(greeting.size()) >= SerialLink::greetingWaitCount(verze), true);
    }

    // The simulator against the console's serial link, over a real pseudo-terminal.
    void simulatorToSerialLink_data() {
        QTest::addColumn<int>("verze");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("greeting");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("454: five bytes, two for the decoder")
            << 454 << "greet 0xB2 2\nreset\nlanes 12.34 13.45\nhold\n"
            << QByteArray::fromHex("b20002") << QByteArray::fromHex("d0d0aaba601234ba701345");
        QTest::newRow("458: three bytes") << 458 << "greet 0x0A 1\nsettings 0x0C\nhold\n"
                                          << QByteArray::fromHex("0a0001") << QByteArray::fromHex("5a0c");
        QTest::newRow("468: fourth byte late")
            << 468 << "raw 01 0a a1\nwait 400\nraw ae\nstart\nattack P 12.345 13.456\nrecall\nhold\n"
            << QByteArray::fromHex("010aa1ae") << QByteArray::fromHex("abba01012345ba02013456a5");
    }
    void simulatorToSerialLink() {
        QFETCH(int, verze);
        QFETCH(QString, script);
        QFETCH(QByteArray, greeting);
        QFETCH(QByteArray, after);
        Simulator sim;
        QVERIFY(sim.start(verze, script));
        const QString port = sim.port;
        QVERIFY(port.startsWith(QLatin1String("/dev/pts/")));

        SerialLink link;
        link.setVersion(verze);
        QByteArray got, data;
        connect(&link, &SerialLink::greetingReceived, [&](const QByteArray& g, int) { got = g; });
        connect(&link, &SerialLink::dataReceived, [&](const QByteArray& d) { data += d; });
        QVERIFY(link.choosePort(port));
        QTRY_COMPARE(got, greeting);
        QTRY_COMPARE(data, after);
        link.close();
    }

    // Simulator, serial link and the console's decoder together: a run arrives as list entries.
    void simulatedRunIsDecoded_data() {
        QTest::addColumn<int>("verze");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("454 two lanes") << 454 << "greet 0x52 2\nreset\nstart\nlanes 12.34 13.45\nhold\n"
                                       << QStringLiteral("Dvě dráhy")
                                       << QStringList{QStringLiteral("1 12,34"), QStringLiteral("2 13,45")};
        QTest::newRow("468 one attack")
            << 468 << "greet 0x0A 1 0xAE\nreset\nstart\nattack P 12.345 13.456\nhold\n"
            << QStringLiteral("Jeden útok") << QStringList{QStringLiteral("12,34P 13,45")};
        QTest::newRow("467 two attacks")
            << 467 << "greet 0x0C 0x05\nreset\nstart\nattack L 20.5 21.25 P 22 23.75\nhold\n"
            << QStringLiteral("Dva útoky")
            << QStringList{QStringLiteral("20,50L 21,25"), QStringLiteral("22,00P 23,75")};
    }
    void simulatedRunIsDecoded() {
        QFETCH(int, verze);
        QFETCH(QString, script);
        QFETCH(QString, mode);
        QFETCH(QStringList, entries);
        Simulator sim;
        QVERIFY(sim.start(verze, script));
        const QString port = sim.port;
        QVERIFY(port.startsWith(QLatin1String("/dev/pts/")));

        struct Listener : DecoderListener {
            QString draha;
            QStringList list;
            void settingsApplied(const SettingsOutcome& o) override {
                if (o.lblDraha) draha = *o.lblDraha;
            }
            void endOfSet(const ResultSetOutcome& o) override {
                for (const ResultEntry& e : o.entries)
                    list << e.text;
            }
        } listener;
        Decoder decoder(&listener);
        decoder.nastavTyp(verze, 0);
        SerialLink link;
        link.setVersion(verze);
        connect(&link, &SerialLink::greetingReceived,
                [&](const QByteArray& g, int) { decoder.applyGreeting(g); });
        connect(&link, &SerialLink::dataReceived,
                [&](const QByteArray& d) { decoder.feed(QByteArrayView(d)); });
        QVERIFY(link.choosePort(port));
        QTRY_COMPARE(listener.list, entries);
        QCOMPARE(listener.draha, mode);
    }
};

QTEST_GUILESS_MAIN(TestQxSim)
#include "tst_qxsim.moc"
