// The console's line about the device link, as the operator reads it.

#include "link/linkhealth.h"

#include <QTest>

using namespace stopky;

class TestLinkHealth : public QObject {
    Q_OBJECT
private slots:
    void healthText_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<QString>("text");
        QTest::newRow("no port") << int(PortHealth::NoPort) << qint64(-1) << "Port nevybrán";
        QTest::newRow("waiting") << int(PortHealth::Waiting) << qint64(-1) << "Čeká se na časomíru";
        QTest::newRow("no answer") << int(PortHealth::NoAnswer) << qint64(-1) << "Časomíra neodpovídá";
        QTest::newRow("nothing yet") << int(PortHealth::Connected) << qint64(-1)
                                     << "Připojeno, zatím bez dat";
        QTest::newRow("just now") << int(PortHealth::Connected) << qint64(999)
                                  << "Připojeno, poslední bajt před 0 s";
        QTest::newRow("seconds") << int(PortHealth::Connected) << qint64(59'999)
                                 << "Připojeno, poslední bajt před 59 s";
        QTest::newRow("minutes") << int(PortHealth::Connected) << qint64(185'000)
                                 << "Připojeno, poslední bajt před 3 min 05 s";
        QTest::newRow("hours") << int(PortHealth::Connected) << qint64(3'720'000)
                               << "Připojeno, poslední bajt před 1 h 02 min";
        QTest::newRow("lost") << int(PortHealth::Lost) << qint64(5000) << "Port odpojen, čeká se na návrat";
    }
    void healthText() {
        QFETCH(int, state);
        QFETCH(qint64, ms);
        QTEST(stopky::healthText(PortHealth(state), ms), "text");
    }
};

QTEST_APPLESS_MAIN(TestLinkHealth)
#include "tst_linkhealth.moc"
