// A console restarted while the device kept running: which first bytes can be a greeting, and
// where decoding may start again in a stream joined at an unknown point.

#include "device/DeviceVersions.h"
#include "link/Settings.h"
#include "qxsim_proto.h"

#include <QTest>

using namespace stopky;

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}
QByteArray joined(std::initializer_list<qxsim::Bytes> parts) {
    QByteArray out;
    for (const qxsim::Bytes& p : parts)
        out.append(reinterpret_cast<const char*>(p.data()), qsizetype(p.size()));
    return out;
}
} // namespace

class TestResume : public QObject {
    Q_OBJECT
private slots:
    void greetingFits_data() {
        QTest::addColumn<int>("verze");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("fits");
        QTest::newRow("468 greeting") << 468 << hex("010aa1ae") << true;
        QTest::newRow("468 time-shown off") << 468 << hex("0102a2ac") << true;
        QTest::newRow("468 first three, fourth awaited") << 468 << hex("010aa1") << true;
        QTest::newRow("468 time frame") << 468 << hex("ba01001234") << false;
        QTest::newRow("468 reset, start, time") << 468 << hex("aaabba") << false;
        QTest::newRow("468 leading 01 but no target type") << 468 << hex("010a12") << false;
        QTest::newRow("466 bad time-shown byte") << 466 << hex("010aa1d0") << false;
        QTest::newRow("467 minutes in place of the target type") << 467 << hex("010a12ae") << true;
        QTest::newRow("467 time frame") << 467 << hex("ba09123456") << false;
        QTest::newRow("467 bad time-shown byte") << 467 << hex("010a12aa") << false;
        QTest::newRow("454 greeting with two more") << 454 << hex("0a0001") << true;
        QTest::newRow("454 target type A2") << 454 << hex("b200a2") << true;
        QTest::newRow("454 lane time frame") << 454 << hex("ba8005") << false;
        QTest::newRow("456 reset, start, frame") << 456 << hex("aaabba") << false;
        QTest::newRow("458 greeting") << 458 << hex("0b0002") << true;
        QTest::newRow("458 time frame") << 458 << hex("ba0912") << false;
        // Three-byte greetings have only the target type to check: a time frame whose first
        // digits are 01 or 02 (10 to 29,999 s) passes for one.
        QTest::newRow("458 time frame of 12,345 s passes") << 458 << hex("ba0901") << true;
        QTest::newRow("463 status bytes") << 463 << hex("d1d3d0") << false;
    }
    void greetingFits() {
        QFETCH(int, verze);
        QFETCH(QByteArray, bytes);
        QTEST(stopky::greetingFits(verze, bytes), "fits");
    }

    // Every version: the simulator's greeting fits, whatever the settings; for the versions with
    // the leading 01 a time frame never does.
    void simulatorStreams() {
        for (int verze : {454, 456, 457, 458, 462, 463, 466, 467, 468}) {
            const int read = qx::deviceVersion(verze).greetingBytes;
            for (quint8 s : {0x00, 0x0A, 0x5A, 0xAA, 0xBC, 0xFF}) {
                for (quint8 target : {0x01, 0x02}) {
                    const QByteArray g = joined({qxsim::greeting(verze, s, target, 0xAE)});
                    QVERIFY2(stopky::greetingFits(verze, g.first(read)), qPrintable(QString::number(verze)));
                }
            }
            if (read != 4) continue; // see the 458 rows of greetingFits
            for (int code : {0, 1, 2, 5, 6, 9}) {
                for (int ms : {0, 12345, 21500, 199999}) {
                    const QByteArray frames =
                        joined({{0xBA}, qxsim::timeRecord(verze, code, ms), {0xAA, 0xAB}});
                    QVERIFY2(!stopky::greetingFits(verze, frames.first(read)),
                             qPrintable(QString::number(verze)));
                }
            }
        }
    }

    void resumePoint_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("at");
        QTest::newRow("nothing") << QByteArray() << -1;
        QTest::newRow("rest of a time frame, then a reset") << hex("1234aaab") << 2;
        QTest::newRow("settings frame") << hex("ba01005a020b") << 3;
        QTest::newRow("reset first") << hex("aaab") << 0;
        QTest::newRow("time frames only") << hex("ba01001234ba0200") << -1;
    }
    void resumePoint() {
        QFETCH(QByteArray, bytes);
        QTEST(int(stopky::resumePoint(bytes)), "at");
    }
};

QTEST_APPLESS_MAIN(TestResume)
#include "tst_resume.moc"
