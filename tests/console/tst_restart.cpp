// stopky killed mid-competition and started again while the timing device (the simulator) keeps
// running: no greeting comes, the device goes on with time frames, a reset and the next run. The
// console must take the device's settings from its journal and hand the next run's times to
// zapisnik (here a bare channel under zapisnik's name) and to its list.

#include "link/Journal.h"
#include "messages/LocalChannel.h"
#include "messages/Messages.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using Msg = std::tuple<int, qint32, qint32>;

class TestRestart : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_sim;
    QString m_port;
    std::unique_ptr<QProcess> m_stopky;
    std::unique_ptr<qx::LocalChannel> m_zapisnik;
    QList<Msg> m_received;

    void simulator(const char* commands) { m_sim.write(QByteArray(commands).replace(';', '\n') + '\n'); }

    bool startStopky() {
        m_stopky = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QX_CONFIG_DIR"), m_dir.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.path());
        m_stopky->setProcessEnvironment(env);
        m_stopky->setWorkingDirectory(m_dir.path());
        m_stopky->setProcessChannelMode(QProcess::ForwardedChannels);
        m_stopky->start(QStringLiteral(QX_STOPKY_PATH), {QStringLiteral("--port"), m_port,
                                                         QStringLiteral("--version"), QStringLiteral("468")});
        return m_stopky->waitForStarted();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
        m_zapisnik = std::make_unique<qx::LocalChannel>(qx::ZapisnikName);
        QVERIFY(m_zapisnik->listen());
        connect(m_zapisnik.get(), &qx::LocalChannel::messageReceived, this,
                [this](quint32 msg, qint32 w, qint32 l) {
                    m_received.append({int(msg), w, l});
                });

        m_sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_sim.start(QStringLiteral(QX_SIM_PATH), {QStringLiteral("--version"), QStringLiteral("468")});
        QVERIFY(m_sim.waitForStarted());
        QDeadlineTimer deadline(5000);
        while (!m_sim.canReadLine() && !deadline.hasExpired())
            m_sim.waitForReadyRead(100);
        m_port = QString::fromLocal8Bit(m_sim.readLine()).trimmed();
        QVERIFY(m_port.startsWith(QLatin1String("/dev/")));
    }
    void cleanupTestCase() {
        if (m_stopky) {
            m_stopky->kill();
            m_stopky->waitForFinished();
        }
        m_sim.kill();
        m_sim.waitForFinished();
    }

    void killedAndStartedAgain() {
        QVERIFY(startStopky());
        // one attack: settings byte 0x0A, making targets
        simulator("greet 0x0A 2;reset;start;attack L 12.34 13.45");
        QTRY_VERIFY_WITH_TIMEOUT(m_received.contains(Msg{qx::AM_Cas2, 2, 13450}), 10000);
        QVERIFY(m_received.contains(Msg{qx::AM_Nast, 468, 0x0A}));

        m_stopky->kill(); // SIGKILL: nothing is saved on the way out
        QVERIFY(m_stopky->waitForFinished());
        m_received.clear();

        QVERIFY(startStopky());
        // the device went on: a time frame of the run that was going on, then the next run
        simulator("waitopen;time 1 20.5;time 2 21.5;wait 300;reset;start;attack P 25 26.5");
        QTRY_VERIFY_WITH_TIMEOUT(m_received.contains(Msg{qx::AM_Cas2, 2, 26500}), 10000);
        // the last settings known, before any time
        const auto nast = std::find_if(m_received.cbegin(), m_received.cend(),
                                       [](const Msg& m) { return std::get<0>(m) == int(qx::AM_Nast); });
        QVERIFY(nast != m_received.cend());
        QCOMPARE(*nast, (Msg{qx::AM_Nast, 468, 0x0A}));
        QVERIFY(nast < std::find(m_received.cbegin(), m_received.cend(), Msg{qx::AM_Cas1, 1, 25000}));
        QVERIFY(m_received.contains(Msg{qx::AM_Cas1, 1, 25000}));
        QVERIFY(!m_received.contains(Msg{qx::AM_Cas2, 2, 21500})); // the broken run adds nothing

        // the journal lists both runs, as the times list shows them
        const stopky::Journal journal(m_dir.path());
        QTRY_COMPARE(journal.todaysEntries(),
                     (QStringList{QStringLiteral("12,34L 13,45"), QStringLiteral("25,00P 26,50")}));
    }
};

QTEST_GUILESS_MAIN(TestRestart)
#include "tst_restart.moc"
