// zapisnik and the timer console on the local channel: the start-up requests, the answers in the
// status strip and the format list, and "actual.txt" with AM_Text. The timer console is played by
// a channel endpoint that listens as "TfrmCas", as any tool may.

#include "TestDb.h"
#include "measurement/Casomira.h"
#include "measurement/PanelNastaveni.h"
#include "messages/ActualFile.h"
#include "messages/LocalChannel.h"
#include "ui/TfrmQX.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using Msg = std::tuple<int, qint32, qint32>;

class TstZapChannel : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::unique_ptr<TestDb> db_;

private slots:
    void initTestCase() {
        QString why;
        if (TestDb::shouldSkip(&why)) QSKIP(qPrintable(why));
        QVERIFY(dir_.isValid());
        qputenv("QX_CONFIG_DIR", dir_.path().toUtf8());
        qputenv("XDG_RUNTIME_DIR", dir_.path().toUtf8());
        QVERIFY(QDir::setCurrent(dir_.path()));
        TfrmQX::messageBoxSeam = [](QMessageBox&) {};
        db_ = std::make_unique<TestDb>("chan");
    }
    void cleanupTestCase() { db_.reset(); }

    // Started after the console: it asks for the settings; the answers set the status line, the
    // mode and lock the format list. Then a new team: "actual.txt" written whole, AM_Text sent.
    void startupRequestsAndAnswers() {
        qx::LocalChannel stopky(QStringLiteral("TfrmCas"));
        QVERIFY(stopky.listen());
        QList<Msg> got;
        connect(&stopky, &qx::LocalChannel::messageReceived, this, [&](quint32 m, qint32 w, qint32 l) {
            got.append({int(m), w, l});
            // the console answers each request as an ordinary message
            if (m == 1490 && w == 0) stopky.send(QStringLiteral("TfrmQX"), 1490, 466, 0x0A);
            if (m == 1494 && w == 0) stopky.send(QStringLiteral("TfrmQX"), 1494, 466, 1);
        });

        qx::Tdm_QX dm;
        TfrmQX frm(dm);
        QVERIFY(!frm.startupFailed());
        QCOMPARE(frm.lbl_casomira->text(), qx::casomiraNepripojena());
        QTRY_COMPARE(got, (QList<Msg>{{1490, 0, 0}, {1494, 0, 0}}));
        QTRY_COMPARE(frm.lbl_casomira->text(), QStringLiteral("Verze časomíry - QX 4.66, jeden útok"));
        QCOMPARE(frm.verze, 466);
        QCOMPARE(int(frm.nast), 10);
        QTRY_VERIFY(!frm.pnl_nast->CBFormat->isEnabled());
        QCOMPARE(frm.pnl_nast->CBFormat->currentText(), QStringLiteral("tisíciny"));

        got.clear();
        QVERIFY(frm.posliAktualniTym(QStringLiteral("Lhota A - 1."), QStringLiteral("Připraví se: Ves B")));
        QTRY_COMPARE(got, (QList<Msg>{{1493, 0, 0}}));
        const qx::ActualReadResult file = qx::readActualFile();
        QVERIFY(file.ok);
        QCOMPARE(file.line1, QStringLiteral("Lhota A - 1."));
        QCOMPARE(file.line2, QStringLiteral("Připraví se: Ves B"));
    }

    // A message that arrives while an error box is open is handled after the box, never inside
    // the action that failed (here: "actual.txt" cannot be written, a folder is in its way).
    void errorBoxHoldsMessages() {
        qx::LocalChannel stopky(QStringLiteral("TfrmCas"));
        QVERIFY(stopky.listen());
        qx::Tdm_QX dm;
        TfrmQX frm(dm);
        QFile::remove(QStringLiteral("actual.txt"));
        QVERIFY(QDir().mkpath(QStringLiteral("actual.txt/x")));
        bool handledInside = true;
        TfrmQX::messageBoxSeam = [&](QMessageBox&) {
            stopky.send(QStringLiteral("TfrmQX"), 1490, 458, 0x03);
            QTest::qWait(300); // a local event loop, as a modal box runs one
            handledInside = frm.lbl_casomira->text().contains(QStringLiteral("4.58"));
        };
        QVERIFY(!frm.posliAktualniTym(QStringLiteral("Lhota A"), QString()));
        TfrmQX::messageBoxSeam = [](QMessageBox&) {};
        QVERIFY(!handledInside);
        QTRY_COMPARE(frm.lbl_casomira->text(), QStringLiteral("Verze časomíry - QX 4.58, tři dráhy"));
        QVERIFY(QDir(QStringLiteral("actual.txt")).removeRecursively());
    }

    // The console runs without a device: it answers with its chosen version and settings byte 0,
    // and the status line says the device has not answered yet, until its settings arrive.
    void consoleWithoutDevice() {
        qx::LocalChannel stopky(QStringLiteral("TfrmCas"));
        QVERIFY(stopky.listen());
        connect(&stopky, &qx::LocalChannel::messageReceived, this, [&](quint32 m, qint32 w, qint32) {
            if (m == 1490 && w == 0) stopky.send(QStringLiteral("TfrmQX"), 1490, 454, 0);
        });
        qx::Tdm_QX dm;
        TfrmQX frm(dm);
        QTRY_COMPARE(frm.lbl_casomira->text(),
                     QStringLiteral("Časomíra je spuštěna, zařízení zatím neodpovědělo (verze QX 4.54)"));
        QCOMPARE(int(frm.nast), 170);
        stopky.send(QStringLiteral("TfrmQX"), 1490, 454, 0x0C);
        QTRY_COMPARE(frm.lbl_casomira->text(), QStringLiteral("Verze časomíry - QX 4.54, dva útoky"));
        QCOMPARE(int(frm.nast), 12);
    }

    // Without the console nothing is sent and nothing waits: the window starts as usual.
    void consoleAbsent() {
        qx::Tdm_QX dm;
        TfrmQX frm(dm);
        QVERIFY(!frm.startupFailed());
        QVERIFY(frm.pnl_nast->CBFormat->isEnabled());
        QVERIFY(frm.posliAktualniTym(QStringLiteral("Lhota A"), QString()));
    }
};

QTEST_MAIN(TstZapChannel)
#include "tst_zap_channel.moc"
