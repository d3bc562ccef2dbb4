// The console window against a pseudo-terminal standing in for the timing device: the real serial
// path (QSerialPort), the decoder and the result sets, as the operator sees them.

#include "../link/ptypair.h"
#include "console/TfrmCas.h"
#include "console/TimesList.h"
#include "console/qxini.h"
#include "messages/ActualFile.h"
#include "messages/LocalChannel.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using Msg = std::tuple<int, qint32, qint32>;

namespace {

QList<Msg> messages(const QSignalSpy& spy) {
    QList<Msg> out;
    for (const QList<QVariant>& args : spy)
        out.append({args.at(0).toInt(), args.at(1).toInt(), args.at(2).toInt()});
    return out;
}

QStringList entries(const QComboBox* cb) {
    QStringList out;
    for (int i = 0; i < cb->count(); ++i)
        out << cb->itemText(i);
    return out;
}

// Sound and DTR recorders: one ordered log of what the automatic start did.
struct Log {
    QStringList lines;
};
struct SoundRecorder : stopky::SoundOutput {
    Log* log;
    explicit SoundRecorder(Log* l) : log(l) {}
    void play(const QString& file, std::function<void()> done) override {
        log->lines << file;
        if (done) QTimer::singleShot(0, done);
    }
};
struct DtrRecorder : stopky::DtrLine {
    Log* log;
    explicit DtrRecorder(Log* l) : log(l) {}
    void setDtr(bool high) override {
        log->lines << (high ? QStringLiteral("DTR 1") : QStringLiteral("DTR 0"));
    }
};

} // namespace

class TestConsole : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;

    void writeIni(const QString& text) {
        QFile f(m_config.filePath(QStringLiteral("qx.ini")));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }

private slots:
    void initTestCase() {
        QVERIFY(m_config.isValid());
        qputenv("QX_CONFIG_DIR", m_config.path().toLocal8Bit());
        // the channel's sockets and "actual.txt" stay inside the test's own folder
        qputenv("XDG_RUNTIME_DIR", m_config.path().toLocal8Bit());
        QVERIFY(QDir::setCurrent(m_config.path()));
    }
    void init() { QFile::remove(m_config.filePath(QStringLiteral("qx.ini"))); }

    // First run without qx.ini: version 454 with its two announcements, the port-choice view, and
    // on close a qx.ini with the defaults and the checked version.
    void firstRunAndQxIni() {
        TfrmCas cas;
        QVERIFY(cas.findChild<QRadioButton*>(QStringLiteral("RB454"))->isChecked());
        QVERIFY(!cas.CBFormat->isVisibleTo(&cas));
        QVERIFY(cas.pnlUvod->isVisibleTo(&cas));
        QVERIFY(!cas.pnlCas->isVisibleTo(&cas));
        QCOMPARE(cas.lblUvod->text(), QStringLiteral("Vyberte komunikační port a "));
        QCOMPARE(cas.lblFormatC->text(), QStringLiteral("Zobrazovaný formát"));
        QCOMPARE(cas.lblTyp->text(), QStringLiteral("Měří: 1-2 štafety, 1 útok, přípravu"));
        QCOMPARE(cas.verze, 454);

        cas.edtM0->setText(QStringLiteral("Koš, kádě"));
        cas.close();
        const stopky::QxIni ini = stopky::readQxIni(m_config.filePath(QStringLiteral("qx.ini")));
        QCOMPARE(ini.typ, 454);
        QCOMPARE(ini.m0, QStringLiteral("Koš, kádě"));
        QCOMPARE(ini.format, 0);
    }

    // A qx.ini that cannot be read is named once at start-up, and closing leaves it as it was.
    void unreadableQxIniNamedAndKept() {
        const QByteArray content("[Cas]\0Left=5\n", 13);
        {
            QFile f(m_config.filePath(QStringLiteral("qx.ini")));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(content);
        }
        {
            TfrmCas cas;
            const QList<QMessageBox*> boxes = cas.findChildren<QMessageBox*>(QStringLiteral("qxIniErrorBox"));
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0]->text().contains(QStringLiteral("nelze přečíst")),
                     qPrintable(boxes[0]->text()));
            QVERIFY(boxes[0]->isVisible());
            QCOMPARE(cas.verze, 454);
            cas.close();
        }
        QFile f(m_config.filePath(QStringLiteral("qx.ini")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), content);
    }

    // A stored version with the format choice; an unknown stored version checks nothing and is
    // not written back.
    void storedAndUnknownTyp() {
        writeIni(QStringLiteral("[Cas]\nTyp=466\n"));
        {
            TfrmCas cas;
            QVERIFY(cas.radioOf(466)->isChecked());
            QVERIFY(cas.CBFormat->isVisibleTo(&cas));
            QSignalSpy sent(&cas, &TfrmCas::zapisnikMessage);
            cas.CBFormat->setCurrentIndex(1);
            cas.nastav_typ();
            QCOMPARE(messages(sent), (QList<Msg>{{1494, 466, 1}}));
        }

        writeIni(QStringLiteral("[Cas]\n; keep me\nTyp=999\n"));
        {
            TfrmCas cas;
            for (QRadioButton* rb : cas.findChildren<QRadioButton*>())
                QVERIFY2(!rb->isChecked(), qPrintable(rb->objectName()));
            QVERIFY(!cas.CBFormat->isVisibleTo(&cas));
            cas.close();
        }
        QFile f(m_config.filePath(QStringLiteral("qx.ini")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY2(text.contains(QStringLiteral("Typ=999")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("; keep me")));
    }

    // Version 466 over the pty: greeting, a settings frame, a lane set of two, the times list and
    // its clipboard text, and the messages for zapisnik in order.
    void laneSetOverPty() {
        writeIni(QStringLiteral("[Cas]\nTyp=466\n"));
        PtyPair pty;
        QVERIFY(pty.isValid());
        TfrmCas cas(pty.slavePath());
        QSignalSpy sent(&cas, &TfrmCas::zapisnikMessage);
        QCOMPARE(cas.CBUvod->itemText(0), pty.slavePath());

        QVERIFY(pty.send(QByteArray::fromHex("0102a1ae")));
        QTRY_VERIFY(cas.pnlCas->isVisibleTo(&cas));
        QCOMPARE(cas.lblDraha->text(), QStringLiteral("Dvě dráhy"));
        QCOMPARE(cas.lblTerce->text(), QStringLiteral("rozepínací"));
        QCOMPARE(cas.lblNCas->text(), QStringLiteral("čas: ano"));
        QVERIFY(cas.lblNCas->isVisibleTo(&cas));

        // reset, start, lane 2 then lane 1 (codes 7 and 6)
        QVERIFY(pty.send(QByteArray::fromHex("aaab") + QByteArray::fromHex("ba07012345") +
                         QByteArray::fromHex("ba06021000")));
        QTRY_COMPARE(cas.CBCas->count(), 3);
        QCOMPARE(entries(cas.CBCas),
                 (QStringList{QString(), QStringLiteral("2 12,34"), QStringLiteral("1 21,00")}));
        QCOMPARE(cas.lblCas->text(), QStringLiteral("21,00"));
        QCOMPARE(cas.lblCasD->text(), QStringLiteral("2 12,34"));
        QVERIFY(!cas.t_cas);
        QVERIFY(cas.edtSDH->isEnabled());
        QCOMPARE(messages(sent),
                 (QList<Msg>{{1490, 466, 0x02}, {1495, 0, 0}, {1491, 7, 12345}, {1491, 6, 21000}}));

        // picking an entry puts it on the clipboard with a tab; deleting empties it
        cas.CBCas->setCurrentIndex(1);
        cas.CBCas->CBCasChange();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("2\t12,34"));
        QVERIFY(cas.btnDel->isEnabled());
        cas.btnDel->click();
        QCOMPARE(entries(cas.CBCas), (QStringList{QString(), QStringLiteral("1 21,00")}));
        QVERIFY(!cas.btnDel->isEnabled());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }

    // Version 454 (five greeting bytes, three read, the rest decoded), a set of four lanes and the
    // rotation of the second line; a reset stops it; a recall shows the set again.
    void rotationAndRecall() {
        writeIni(QStringLiteral("[Cas]\nTyp=454\n"));
        PtyPair pty;
        QVERIFY(pty.isValid());
        TfrmCas cas(pty.slavePath());
        cas.tmrPrep->setInterval(30);
        // settings byte 0x04: four lanes; the two bytes after the third are decoder input (reset)
        QVERIFY(pty.send(QByteArray::fromHex("0400") + QByteArray::fromHex("01aaab")));
        QTRY_COMPARE(cas.lblDraha->text(), QStringLiteral("Čtyři dráhy"));
        QTRY_VERIFY(cas.t_cas);
        QVERIFY(pty.send(QByteArray::fromHex("ba600100") + QByteArray::fromHex("ba700200") +
                         QByteArray::fromHex("ba800300") + QByteArray::fromHex("ba900400")));
        QTRY_COMPARE(cas.CBCas->count(), 5);
        QCOMPARE(cas.lblCas->text(), QStringLiteral("4,00"));
        QVERIFY(cas.tmrPrep->isActive());
        // every tick of the rotation, as the operator sees it right after
        QStringList seen;
        connect(cas.tmrPrep, &QTimer::timeout, this, [&] { seen << cas.lblCasD->text(); });
        QTRY_VERIFY(seen.size() >= 4);
        seen = seen.mid(0, 4);
        QCOMPARE(seen, (QStringList{QStringLiteral("2 2,00"), QStringLiteral("1 1,00"),
                                    QStringLiteral("3 3,00"), QStringLiteral("2 2,00")}));

        QVERIFY(pty.send(QByteArray::fromHex("aa")));
        QTRY_COMPARE(cas.lblCas->text(), QString());
        QVERIFY(!cas.tmrPrep->isActive());
        QVERIFY(cas.btnAutomat->isEnabled());
        QCOMPARE(cas.btnAutomat->text(), QStringLiteral("Automatický start"));

        cas.tmrPrep->setInterval(2000);
        QVERIFY(pty.send(QByteArray::fromHex("a5")));
        QTRY_COMPARE(cas.lblCas->text(), QStringLiteral("4,00"));
        QCOMPARE(cas.lblCasD->text(), QStringLiteral("3 3,00"));
        QCOMPARE(cas.CBCas->count(), 5); // a recall lists nothing
    }

    // One attack (version 458): the list entry and its two messages; a conversion error of a lane
    // time is reported without stopping the decoder.
    void attackAndBadTransferText() {
        writeIni(QStringLiteral("[Cas]\nTyp=458\n"));
        PtyPair pty;
        QVERIFY(pty.isValid());
        TfrmCas cas(pty.slavePath());
        QSignalSpy sent(&cas, &TfrmCas::zapisnikMessage);
        QSignalSpy errors(&cas, &TfrmCas::conversionError);
        QVERIFY(pty.send(QByteArray::fromHex("0a0a01")));
        QTRY_COMPARE(cas.lblDraha->text(), QStringLiteral("Jeden útok"));
        QVERIFY(pty.send(QByteArray::fromHex("aaab") + QByteArray::fromHex("ba00012345") +
                         QByteArray::fromHex("ba02013456")));
        QTRY_COMPARE(cas.CBCas->count(), 2);
        QCOMPARE(cas.CBCas->itemText(1), QStringLiteral("12,34L 13,45"));
        QCOMPARE(messages(sent).mid(2), (QList<Msg>{{1491, 0, 12345}, {1492, 2, 13456}}));

        // two lanes whose first time carries a target code with a letter: listed, reported, the
        // second still sent
        sent.clear();
        QVERIFY(pty.send(QByteArray::fromHex("5a02") + QByteArray::fromHex("aa") +
                         QByteArray::fromHex("ba00012000") + QByteArray::fromHex("ba07013000")));
        QTRY_COMPARE(cas.CBCas->count(), 4);
        QCOMPARE(errors.count(), 1);
        QVERIFY(messages(sent).contains(Msg{1491, 7, 13000}));
        QTRY_VERIFY(cas.findChild<QWidget*>(QStringLiteral("conversionErrorBox")));
        QVERIFY(pty.send(QByteArray::fromHex("aa")));
        QTRY_COMPARE(cas.lblCasD->text(), QString());
    }

    // The device stays silent: the prompt after the (shortened) wait; choosing again retries.
    void noAnswer() {
        PtyPair pty;
        QVERIFY(pty.isValid());
        TfrmCas cas;
        cas.link().setNoAnswerInterval(50);
        cas.CBUvod->insertItem(0, pty.slavePath());
        cas.CBUvod->setCurrentIndex(0);
        cas.CBUvodChange();
        QTRY_COMPARE(cas.lblUvod->text(), QStringLiteral("Časomíra nenavázala komunikaci. Vypněte  "));
        QCOMPARE(cas.lblUvod1->text(), QStringLiteral("časomíru, vyberte jiný port a zapněte ji!"));
        cas.CBUvodChange();
        QCOMPARE(cas.lblUvod->text(), QStringLiteral("Vyberte komunikační port a "));
        QVERIFY(pty.send(QByteArray::fromHex("0100010000")));
        QTRY_VERIFY(cas.pnlCas->isVisibleTo(&cas));
        QCOMPARE(cas.lblDraha->text(), QStringLiteral("Jedna dráha"));
    }

    // With zapisnik listening: the start-up announcements (twice from the version set-up, once more
    // after the stored format has been applied), the answers to its requests, and AM_Text.
    void channelWithZapisnik() {
        writeIni(QStringLiteral("[Cas]\nTyp=466\n[LED]\nFormat=1\n"));
        qx::LocalChannel zapisnik(QStringLiteral("TfrmQX"));
        QVERIFY(zapisnik.listen());
        QList<Msg> got;
        connect(&zapisnik, &qx::LocalChannel::messageReceived, this, [&](quint32 m, qint32 w, qint32 l) {
            got.append({int(m), w, l});
        });

        TfrmCas cas;
        QTRY_COMPARE(got, (QList<Msg>{{1494, 466, 0}, {1494, 466, 0}, {1494, 466, 1}}));
        QCOMPARE(cas.CBFormat->currentText(), QStringLiteral("tisíciny"));

        got.clear();
        zapisnik.send(QStringLiteral("TfrmCas"), 1490, 0, 0);
        zapisnik.send(QStringLiteral("TfrmCas"), 1494, 0, 0);
        QTRY_COMPARE(got, (QList<Msg>{{1490, 466, 0}, {1494, 466, 1}}));

        QVERIFY(qx::writeActualFile(QStringLiteral("SDH Lhota - 3."), QString()).ok);
        cas.edtText->setText(QStringLiteral("stará"));
        zapisnik.send(QStringLiteral("TfrmCas"), 1493, 0, 0);
        QTRY_COMPARE(cas.edtSDH->text(), QStringLiteral("SDH Lhota - 3."));
        QCOMPARE(cas.edtText->text(), QString());

        // a missing file is reported without blocking; the texts stay
        QVERIFY(QFile::remove(QStringLiteral("actual.txt")));
        zapisnik.send(QStringLiteral("TfrmCas"), 1493, 0, 0);
        QTRY_VERIFY(cas.findChild<QWidget*>(QStringLiteral("actualFileErrorBox")));
        QCOMPARE(cas.edtSDH->text(), QStringLiteral("SDH Lhota - 3."));
    }

    // Preparation 2:30 counted down on the first time line; the start byte ends it. The automatic
    // start after a reset: captions, the sounds in order and the DTR pulse after the shot; a
    // reset byte during the sequence cancels it (no pulse).
    void countdownAndAutomaticStart() {
        writeIni(QStringLiteral("[Cas]\nTyp=458\n"));
        PtyPair pty;
        QVERIFY(pty.isValid());
        TfrmCas cas(pty.slavePath());
        Log log;
        SoundRecorder sound(&log);
        DtrRecorder dtr(&log);
        cas.setSoundOutput(&sound);
        cas.setDtrLine(&dtr);
        cas.countdown().setTickInterval(20);

        QVERIFY(pty.send(QByteArray::fromHex("a20001"))); // two lanes, preparation 2:30
        QTRY_COMPARE(cas.lblPriprava->text(), QStringLiteral("2:30"));
        QSignalSpy shown(&cas.countdown(), &stopky::Countdown::textChanged);
        QVERIFY(pty.send(QByteArray::fromHex("55")));
        QTRY_VERIFY(shown.size() >= 3);
        QCOMPARE(shown.at(0).at(0).toString(), QStringLiteral("2,30 "));
        QCOMPARE(shown.at(2).at(0).toString(), QStringLiteral("2,28 "));
        QVERIFY(pty.send(QByteArray::fromHex("ab")));
        QTRY_COMPARE(cas.lblCas->text(), QStringLiteral("0,000"));
        QVERIFY(!cas.countdown().isRunning());

        QVERIFY(!cas.btnAutomat->isEnabled());
        QVERIFY(pty.send(QByteArray::fromHex("aa")));
        QTRY_VERIFY(cas.btnAutomat->isEnabled());
        cas.btnAutomat->click();
        QCOMPARE(cas.btnAutomat->text(), QStringLiteral("Pozor!!!"));
        cas.btnAutomat->click();
        QTRY_COMPARE(cas.btnAutomat->text(), QStringLiteral("Odstartováno!!!"));
        QTRY_COMPARE(log.lines.size(), 5);
        QCOMPARE(log.lines, (QStringList{QStringLiteral("zacatek.wav"), QStringLiteral("pozor.wav"),
                                         QStringLiteral("vystrel.wav"), QStringLiteral("DTR 1"),
                                         QStringLiteral("DTR 0")}));
        QVERIFY(!cas.btnAutomat->isEnabled());

        log.lines.clear();
        QVERIFY(pty.send(QByteArray::fromHex("aa")));
        QTRY_VERIFY(cas.btnAutomat->isEnabled());
        cas.btnAutomat->click();
        cas.btnAutomat->click();                      // pozor.wav, then the random pause...
        QVERIFY(pty.send(QByteArray::fromHex("aa"))); // ...which the reset cancels
        QTRY_COMPARE(cas.btnAutomat->text(), QStringLiteral("Automatický start"));
        QTest::qWait(700); // longer than the longest pause: nothing more may follow
        QVERIFY2(!log.lines.contains(QStringLiteral("DTR 1")), qPrintable(log.lines.join(u',')));
    }

    // A run on the LED window: the START banner, three splits with the space bar (the console's
    // list and the LED window both take it), MR, a fourth press taking nothing; the reset byte
    // hides the banner and empties the rows at once. AM_Text restarts the scrolling line.
    void splitsAndLedWindow() {
        writeIni(QStringLiteral("[Cas]\nTyp=466\n[LED]\nM0=Koš\nM1=Rozdělovač\nM2=Terč\nMR=Útok\n"));
        PtyPair pty;
        QVERIFY(pty.isValid());
        TfrmCas cas(pty.slavePath());
        QSignalSpy sent(&cas, &TfrmCas::zapisnikMessage);
        auto* banner = cas.frmLED->findChild<QWidget*>(QStringLiteral("pnlStart"));
        QVERIFY(banner);

        cas.SB_zobr->click();
        QVERIFY(cas.frmLED->isVisible());
        QVERIFY(pty.send(QByteArray::fromHex("010aa1ae") + QByteArray::fromHex("aaab")));
        QTRY_VERIFY(cas.t_cas);
        QVERIFY(banner->isVisibleTo(cas.frmLED));
        QVERIFY(cas.DXCas1->isVisibleTo(&cas));

        QTest::keyClick(cas.CBCas, Qt::Key_Space);
        QTest::qWait(20);
        QTest::keyClick(cas.frmLED, Qt::Key_Space);
        QTest::qWait(20);
        QTest::keyClick(cas.CBCas, Qt::Key_Space);
        QTest::keyClick(cas.CBCas, Qt::Key_Space); // all rows taken: nothing more
        const QList<Msg> all = messages(sent);
        QList<Msg> mezi;
        for (const Msg& m : all)
            if (std::get<0>(m) == 1495) mezi << m;
        QCOMPARE(mezi.size(), 5);
        QCOMPARE(mezi[0], Msg(1495, 0, 0));
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(std::get<1>(mezi[i]), i);
        QVERIFY(std::get<2>(mezi[1]) <= std::get<2>(mezi[2]) && std::get<2>(mezi[2]) <= std::get<2>(mezi[3]));
        QCOMPARE(std::get<2>(mezi[4]), std::get<2>(mezi[3]) - std::get<2>(mezi[2]));
        QVERIFY(cas.lblMRC->isVisibleTo(&cas));
        QVERIFY2(cas.lblM0C->text().startsWith(QStringLiteral("Koš: 0,0")), qPrintable(cas.lblM0C->text()));
        QCOMPARE(cas.frmLED->lblM[3]->text(), QStringLiteral("Útok"));
        QVERIFY(!cas.frmLED->lblCas[3]->text().isEmpty());

        QVERIFY(pty.send(QByteArray::fromHex("aa")));
        QTRY_VERIFY(!banner->isVisibleTo(cas.frmLED));
        QVERIFY(cas.frmLED->lblCas[0]->text().isEmpty());
        QVERIFY(!cas.lblM0C->isVisibleTo(&cas));
        QVERIFY(!cas.t_cas);

        QVERIFY(qx::writeActualFile(QStringLiteral("SDH Ves"), QStringLiteral("Připraví se: Lhota")).ok);
        cas.zpravaOdZapisniku(1493, 0, 0);
        QCOMPARE(cas.frmLED->scroller().Scrolly(), QStringLiteral("Připraví se: Lhota"));
        QVERIFY(cas.frmLED->scroller().moving());

        cas.frmLED->close(); // the window's close button hides it and releases SB_zobr
        QVERIFY(!cas.frmLED->isVisible());
        QVERIFY(!cas.SB_zobr->isChecked());
    }

    // The space bar while the times list has the focus takes a split during a run and never
    // opens the list.
    void spaceBarInTimesList() {
        TfrmCas cas;
        QSignalSpy splits(&cas, &TfrmCas::splitRequested);
        QTest::keyClick(cas.CBCas, Qt::Key_Space);
        QCOMPARE(splits.count(), 0);
        cas.t_cas = true;
        QTest::keyClick(cas.CBCas, Qt::Key_Space);
        QCOMPARE(splits.count(), 1);
        QVERIFY(!cas.CBCas->view()->isVisible());
    }
};

QTEST_MAIN(TestConsole)
#include "tst_console.moc"
