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
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
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

// Types a text key by key (also letters that QTest::keyClicks cannot map to keys).
void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
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
    void init() {
        QFile::remove(m_config.filePath(QStringLiteral("qx.ini")));
        // Each case starts without a journal: no times to list again, no settings to resume with.
        QDir dir(m_config.path());
        for (const QString& f : dir.entryList({QStringLiteral("stopky-*.log")}, QDir::Files))
            QVERIFY(dir.remove(f));
    }

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

    // "--version 468" with another version stored: the port is opened with 468 (its four-byte
    // greeting is read at once, the time-shown label appears), zapisnik hears 468, and the choice
    // is kept like a click on the radio button.
    void commandLineVersion() {
        writeIni(QStringLiteral("[Cas]\nTyp=454\n"));
        PtyPair pty;
        QVERIFY(pty.isValid());
        {
            TfrmCas cas(pty.slavePath(), 468);
            QSignalSpy sent(&cas, &TfrmCas::zapisnikMessage);
            QCOMPARE(cas.verze, 468);
            QVERIFY(cas.radioOf(468)->isChecked());
            QVERIFY(pty.send(QByteArray::fromHex("010aa1ae")));
            QTRY_VERIFY(cas.pnlCas->isVisibleTo(&cas));
            QCOMPARE(cas.lblDraha->text(), QStringLiteral("Jeden útok"));
            QVERIFY(cas.lblNCas->isVisibleTo(&cas));
            QCOMPARE(cas.lblNCas->text(), QStringLiteral("čas: ano"));
            QCOMPARE(messages(sent).value(0), (Msg{1490, 468, 0x0A}));
            cas.close();
        }
        QCOMPARE(stopky::readQxIni(m_config.filePath(QStringLiteral("qx.ini"))).typ, 468);
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

    // The console's place in qx.ini is its outer rectangle, caption and borders included: a run
    // that shows the window and closes it writes back what it read, so the window does not grow
    // by its frame from one start to the next (the offscreen platform adds a frame on showing).
    void outerSizeKeptFromRunToRun() {
        writeIni(QStringLiteral("[Cas]\nLeft=20\nTop=10\nWidth=462\nHeight=328\n"));
        for (int run = 0; run < 3; ++run) {
            TfrmCas cas;
            cas.show();
            QVERIFY(QTest::qWaitForWindowExposed(&cas));
            QTRY_COMPARE(cas.frameGeometry().size(), QSize(462, 328));
            QVERIFY(cas.frameGeometry().size() != cas.size()); // the window does have a frame
            cas.close();
            const stopky::QxIni ini = stopky::readQxIni(m_config.filePath(QStringLiteral("qx.ini")));
            QCOMPARE(QRect(ini.casLeft, ini.casTop, ini.casWidth, ini.casHeight), QRect(20, 10, 462, 328));
        }
    }

    // Places from qx.ini that lie off every screen (a display unplugged since, a hand-edited
    // file): both windows come back onto the primary screen.
    void offScreenPlacesComeBack() {
        writeIni(QStringLiteral("[Cas]\nLeft=1930\nTop=10\nWidth=462\nHeight=328\n"
                                "[LED]\nLeft=-5000\nTop=-3000\nWidth=462\nHeight=328\n"));
        TfrmCas cas;
        cas.show();
        cas.SB_zobr->click();
        QVERIFY(QTest::qWaitForWindowExposed(&cas));
        QVERIFY(QTest::qWaitForWindowExposed(cas.frmLED));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.width() < 1930);
        QTRY_VERIFY2(screen.contains(cas.frameGeometry()),
                     qPrintable(QStringLiteral("%1,%2").arg(cas.x()).arg(cas.y())));
        QTRY_VERIFY(screen.contains(cas.frmLED->frameGeometry()));
        QCOMPARE(cas.frameGeometry().size(), QSize(462, 328));
        QCOMPARE(cas.frmLED->frameGeometry().size(), QSize(462, 328));
        cas.close();
        const stopky::QxIni ini = stopky::readQxIni(m_config.filePath(QStringLiteral("qx.ini")));
        QVERIFY(screen.contains(QRect(ini.casLeft, ini.casTop, ini.casWidth, ini.casHeight)));
        QVERIFY(screen.contains(QRect(ini.ledLeft, ini.ledTop, ini.ledWidth, ini.ledHeight)));
    }

    // The device's port disappears during a run (here: the pseudo-terminal's other side closes,
    // in the middle of a time frame): the clock stops, one non-modal box names the port and the
    // reason, the port choice returns and zapisnik hears nothing. Another port is then chosen;
    // the bytes that arrive before the device's next reset add no time to the broken set.
    void portLostDuringARun() {
        writeIni(QStringLiteral("[Cas]\nTyp=466\n"));
        auto pty = std::make_unique<PtyPair>();
        QVERIFY(pty->isValid());
        const QString first = pty->slavePath();
        TfrmCas cas(first);
        QSignalSpy sent(&cas, &TfrmCas::zapisnikMessage);
        QVERIFY(pty->send(QByteArray::fromHex("0102a1ae")));
        QTRY_VERIFY(cas.pnlCas->isVisibleTo(&cas));
        QVERIFY(pty->send(QByteArray::fromHex("aaab") + QByteArray::fromHex("ba0701")));
        QTRY_VERIFY(cas.t_cas);
        QVERIFY(cas.DXCas1->runClock().running());
        sent.clear();

        pty.reset();
        QTRY_VERIFY(cas.findChild<QMessageBox*>(QStringLiteral("portLostBox")));
        auto* box = cas.findChild<QMessageBox*>(QStringLiteral("portLostBox"));
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QVERIFY2(box->text().contains(first), qPrintable(box->text()));
        QVERIFY(!cas.t_cas);
        QVERIFY(!cas.DXCas1->runClock().running());
        QVERIFY(cas.pnlUvod->isVisibleTo(&cas));
        QVERIFY(!cas.pnlCas->isVisibleTo(&cas));
        QCOMPARE(cas.CBUvod->currentText(), first);
        QVERIFY(cas.edtSDH->isEnabled());
        QVERIFY(!cas.btnAutomat->isEnabled());
        // zapisnik hears only that the device is gone (settings value kPortOdpojen, -1)
        QCOMPARE(messages(sent), (QList<Msg>{{1490, 466, -1}}));
        sent.clear();

        // Another port: the greeting tells zapisnik the settings anew; the rest of the broken
        // frame and a time after it are not taken, a run after the reset byte is.
        auto second = std::make_unique<PtyPair>();
        QVERIFY(second->isValid());
        const QString secondPath = second->slavePath();
        QCOMPARE(cas.lblSpojeni->text(), QStringLiteral("Port odpojen, čeká se na návrat"));
        cas.CBUvod->insertItem(0, secondPath);
        cas.CBUvod->setCurrentIndex(0);
        cas.CBUvodChange();
        QVERIFY(second->send(QByteArray::fromHex("0102a1ae")));
        QTRY_VERIFY(cas.pnlCas->isVisibleTo(&cas));
        QVERIFY(second->send(QByteArray::fromHex("9999") + QByteArray::fromHex("ba06035000")));
        QVERIFY(second->send(QByteArray::fromHex("aaab") + QByteArray::fromHex("ba07012345") +
                             QByteArray::fromHex("ba06021000")));
        QTRY_VERIFY(messages(sent).contains(Msg{1491, 6, 21000}));
        QCOMPARE(entries(cas.CBCas),
                 (QStringList{QString(), QStringLiteral("2 12,34"), QStringLiteral("1 21,00")}));
        QCOMPARE(messages(sent),
                 (QList<Msg>{{1490, 466, 0x02}, {1495, 0, 0}, {1491, 7, 12345}, {1491, 6, 21000}}));
        QVERIFY(box->isVisible()); // the operator has not closed it yet

        // Lost again: the same box (still open), now naming the second port.
        QPointer<QMessageBox> same(box);
        second.reset();
        QTRY_VERIFY(cas.pnlUvod->isVisibleTo(&cas));
        QVERIFY(same);
        QCOMPARE(cas.findChildren<QMessageBox*>(QStringLiteral("portLostBox")).size(), 1);
        QVERIFY(box->text().contains(secondPath));
    }

    // The adapter is unplugged and plugged in again under the same path (here a link that points
    // to one pseudo-terminal, then to another): the console opens it again by itself and reads
    // the greeting anew; meanwhile zapisnik hears "no device" and the health line says so.
    void samePortComesBack() {
        writeIni(QStringLiteral("[Cas]\nTyp=468\n"));
        const QString path = m_config.filePath(QStringLiteral("ttyQX0"));
        QFile::remove(path);
        auto pty = std::make_unique<PtyPair>();
        QVERIFY(pty->isValid());
        QVERIFY(QFile::link(pty->slavePath(), path));
        TfrmCas cas(path);
        QSignalSpy sent(&cas, &TfrmCas::zapisnikMessage);
        QCOMPARE(cas.lblSpojeni->text(), QStringLiteral("Čeká se na časomíru"));
        QVERIFY(pty->send(QByteArray::fromHex("010ca1ae")));
        QTRY_VERIFY(cas.pnlCas->isVisibleTo(&cas));
        QVERIFY(cas.lblSpojeni->isVisibleTo(&cas));
        QTRY_VERIFY2(cas.lblSpojeni->text().startsWith(QStringLiteral("Připojeno, ")),
                     qPrintable(cas.lblSpojeni->text()));

        pty.reset();
        QVERIFY(QFile::remove(path));
        QTRY_VERIFY(cas.findChild<QMessageBox*>(QStringLiteral("portLostBox")));
        QCOMPARE(messages(sent), (QList<Msg>{{1490, 468, 0x0C}, {1490, 468, -1}}));
        QCOMPARE(cas.lblSpojeni->text(), QStringLiteral("Port odpojen, čeká se na návrat"));
        QVERIFY(cas.lblSpojeni->isVisibleTo(&cas));
        QTest::qWait(700); // the path is looked for, not there yet
        QVERIFY(!cas.link().isOpen());

        auto back = std::make_unique<PtyPair>();
        QVERIFY(back->isValid());
        QVERIFY(QFile::link(back->slavePath(), path));
        QTRY_VERIFY(cas.link().isOpen());
        QCOMPARE(cas.link().state(), stopky::SerialLink::State::Waiting);
        QVERIFY(back->send(QByteArray::fromHex("010aa1ae")));
        QTRY_VERIFY(cas.pnlCas->isVisibleTo(&cas));
        QCOMPARE(messages(sent).last(), (Msg{1490, 468, 0x0A}));
        QVERIFY(back->send(QByteArray::fromHex("aaab") + QByteArray::fromHex("ba00012340") +
                           QByteArray::fromHex("ba02013450")));
        QTRY_COMPARE(entries(cas.CBCas).last(), QStringLiteral("12,34L 13,45"));
        QFile::remove(path);
    }

    // Every byte and every listed set go to the day's journal, on the disk before zapisnik hears
    // of the set; a console started again lists today's times again.
    void journalAndTimesListAfterRestart() {
        writeIni(QStringLiteral("[Cas]\nTyp=466\n"));
        PtyPair pty;
        QVERIFY(pty.isValid());
        QString path;
        QStringList journalAtSend;
        {
            TfrmCas cas(pty.slavePath());
            path = cas.journal().currentPath();
            QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(m_config.path()).absoluteFilePath());
            connect(&cas, &TfrmCas::zapisnikMessage, this, [&](int msg, qint32, qint32) {
                if (msg == 1491) journalAtSend << stopky::Journal::entries(path).join(QLatin1Char('|'));
            });
            QVERIFY(pty.send(QByteArray::fromHex("0102a1ae")));
            QTRY_VERIFY(cas.pnlCas->isVisibleTo(&cas));
            QVERIFY(pty.send(QByteArray::fromHex("aaab") + QByteArray::fromHex("ba07012345") +
                             QByteArray::fromHex("ba06021000")));
            QTRY_COMPARE(cas.CBCas->count(), 3);
        }
        // both lane times were in the file when the first of them was sent
        QCOMPARE(journalAtSend,
                 (QStringList{QStringLiteral("2 12,34|1 21,00"), QStringLiteral("2 12,34|1 21,00")}));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY2(text.contains(QStringLiteral(" 466 pozdrav: 01 02 a1 ae\n")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral(" 466 nastavení: 02 a1 ae\n")), qPrintable(text));
        // the bytes after the greeting, in as many lines as they came in pieces
        QStringList received;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            const qsizetype at = line.indexOf(QStringLiteral(" 466 bajty: "));
            if (at >= 0) received << line.mid(at + 12);
        }
        QCOMPARE(received.join(QLatin1Char(' ')), QStringLiteral("aa ab ba 07 01 23 45 ba 06 02 10 00"));
        QCOMPARE(text.count(QStringLiteral(" 466 čas: ")), 2);

        TfrmCas again;
        QCOMPARE(entries(again.CBCas),
                 (QStringList{QString(), QStringLiteral("2 12,34"), QStringLiteral("1 21,00")}));
    }

    // stopky was killed mid-competition and started again while the device kept running: its
    // next bytes are time frames, not a greeting. The settings come from the journal, the broken
    // run adds nothing, and the run after the device's next reset is listed and sent.
    void restartWhileTheDeviceRuns() {
        writeIni(QStringLiteral("[Cas]\nTyp=468\n"));
        PtyPair pty;
        QVERIFY(pty.isValid());
        {
            TfrmCas cas(pty.slavePath());
            QVERIFY(pty.send(QByteArray::fromHex("010aa1ae")));
            QTRY_VERIFY(cas.pnlCas->isVisibleTo(&cas));
            QVERIFY(pty.send(QByteArray::fromHex("aaab") + QByteArray::fromHex("ba00012340") +
                             QByteArray::fromHex("ba02013450")));
            QTRY_COMPARE(cas.CBCas->count(), 2);
        } // ends without closing: no qx.ini, nothing but the journal is left
        TfrmCas cas(pty.slavePath());
        QSignalSpy sent(&cas, &TfrmCas::zapisnikMessage);
        QCOMPARE(entries(cas.CBCas), (QStringList{QString(), QStringLiteral("12,34L 13,45")}));
        // the rest of a run: a time frame, then the next run
        QVERIFY(pty.send(QByteArray::fromHex("ba01002000") + QByteArray::fromHex("ba02002100")));
        QTRY_VERIFY(cas.pnlCas->isVisibleTo(&cas));
        QCOMPARE(cas.lblDraha->text(), QStringLiteral("Jeden útok"));
        QCOMPARE(cas.CBCas->count(), 2);
        QVERIFY(pty.send(QByteArray::fromHex("aaab") + QByteArray::fromHex("ba01025000") +
                         QByteArray::fromHex("ba02026000")));
        QTRY_COMPARE(cas.CBCas->count(), 3);
        QCOMPARE(entries(cas.CBCas).last(), QStringLiteral("25,00P 26,00"));
        QCOMPARE(messages(sent),
                 (QList<Msg>{{1490, 468, 0x0A}, {1495, 0, 0}, {1491, 1, 25000}, {1492, 2, 26000}}));
    }

    // A journal that cannot be written is told once; the times are listed and sent all the same.
    void journalFailureToldOnce() {
        // the settings folder's name is taken by a file: no journal can be made there
        const QString blocked = m_config.filePath(QStringLiteral("blocked"));
        {
            QFile f(blocked);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        qputenv("QX_CONFIG_DIR", blocked.toLocal8Bit());
        PtyPair pty;
        QVERIFY(pty.isValid());
        TfrmCas cas(pty.slavePath(), 466);
        qputenv("QX_CONFIG_DIR", m_config.path().toLocal8Bit());
        QSignalSpy sent(&cas, &TfrmCas::zapisnikMessage);
        QVERIFY(pty.send(QByteArray::fromHex("0101a1ae")));
        QTRY_VERIFY(cas.findChild<QMessageBox*>(QStringLiteral("journalErrorBox")));
        for (const char* set : {"aaabba06012345", "aaabba06013456"})
            QVERIFY(pty.send(QByteArray::fromHex(set)));
        QTRY_COMPARE(cas.CBCas->count(), 3);
        QCOMPARE(messages(sent).count(Msg{1491, 6, 12345}), 1);
        QCOMPARE(messages(sent).count(Msg{1491, 6, 13456}), 1);
        QCOMPARE(cas.findChildren<QMessageBox*>(QStringLiteral("journalErrorBox")).size(), 1);
        auto* box = cas.findChild<QMessageBox*>(QStringLiteral("journalErrorBox"));
        QVERIFY2(box->informativeText().contains(blocked), qPrintable(box->informativeText()));
        box->close();
        QVERIFY(pty.send(QByteArray::fromHex("aaabba06014567")));
        QTRY_COMPARE(cas.CBCas->count(), 4);
        QTest::qWait(50);
        QVERIFY(!cas.findChild<QMessageBox*>(QStringLiteral("journalErrorBox")));
    }

    // Errors that repeat are told in one box per kind, updated with the latest case: AM_Text
    // while "actual.txt" is missing, and times that cannot be converted. A box the operator has
    // closed comes back at the next error, again only one.
    void errorBoxesDoNotPileUp() {
        TfrmCas cas;
        QFile::remove(QStringLiteral("actual.txt"));
        const auto boxes = [&cas](const char* name) {
            return cas.findChildren<QMessageBox*>(QString::fromLatin1(name)).size();
        };
        for (int i = 0; i < 300; ++i)
            cas.zpravaOdZapisniku(1493, 0, 0);
        QCOMPARE(boxes("actualFileErrorBox"), 1);

        // Through the channel as zapisnik sends them, after the operator closed the box.
        cas.findChild<QMessageBox*>(QStringLiteral("actualFileErrorBox"))->close();
        QTRY_COMPARE(boxes("actualFileErrorBox"), 0);
        QSignalSpy handled(&cas.channel(), &qx::LocalChannel::messageReceived);
        qx::LocalChannel zapisnik(QStringLiteral("TfrmQX"));
        for (int i = 0; i < 50; ++i)
            zapisnik.send(QStringLiteral("TfrmCas"), 1493, 0, 0);
        QTRY_COMPARE(handled.size(), 50);
        QCOMPARE(boxes("actualFileErrorBox"), 1);

        for (int i = 1; i <= 100; ++i)
            emit cas.conversionError(QStringLiteral("%1 12,34").arg(i % 10),
                                     QStringLiteral("chyba %1").arg(i));
        QCOMPARE(boxes("conversionErrorBox"), 1);
        auto* box = cas.findChild<QMessageBox*>(QStringLiteral("conversionErrorBox"));
        QCOMPARE(box->text(), QStringLiteral("chyba 100"));
        QVERIFY2(box->informativeText().startsWith(QStringLiteral("0 12,34")),
                 qPrintable(box->informativeText()));
        QVERIFY(box->informativeText().contains(QStringLiteral("100")));
        QVERIFY(!box->isModal());

        box->close(); // the operator closes it (deleted on close)
        QTRY_COMPARE(boxes("conversionErrorBox"), 0);
        emit cas.conversionError(QStringLiteral("1 99,99"), QStringLiteral("chyba"));
        emit cas.conversionError(QStringLiteral("2 99,99"), QStringLiteral("chyba"));
        QCOMPARE(boxes("conversionErrorBox"), 1);
        QCOMPARE(boxes("actualFileErrorBox"), 1);
    }

    // The limits of the side panel's edit boxes hold for typing only: a team name from zapisnik
    // and split captions from qx.ini are kept whole (the LED window draws a long name at 35
    // points), while the operator types at most 25 and 20 characters.
    void typingLimitOnly() {
        const QString caption = QStringLiteral("Rozdělovač a přívodní vedení");         // 28 characters
        const QString team = QStringLiteral("SDH Horní Dolní Lhota u Brna - 3. místo"); // 39
        writeIni(QStringLiteral("[LED]\nM0=%1\n").arg(caption));
        TfrmCas cas;
        QCOMPARE(cas.edtM0->text(), caption);

        QVERIFY(qx::writeActualFile(team, QString()).ok);
        cas.zpravaOdZapisniku(1493, 0, 0);
        QCOMPARE(cas.edtSDH->text(), team);
        cas.SB_zobr->click();
        QCOMPARE(cas.frmLED->lblSDH->text(), team);
        QCOMPARE(cas.frmLED->layout().teamPointSize, 35);

        // Typing at the end of the long name adds nothing; deleting still works.
        cas.edtSDH->setFocus();
        cas.edtSDH->end(false);
        QTest::keyClick(cas.edtSDH, Qt::Key_X);
        QCOMPARE(cas.edtSDH->text(), team);
        QTest::keyClick(cas.edtSDH, Qt::Key_Backspace);
        QCOMPARE(cas.edtSDH->text(), team.chopped(1));

        cas.edtSDH->clear();
        const QString typed = QStringLiteral("SDH Velké Meziříčí - muži A"); // 27 characters
        typeText(cas.edtSDH, typed);
        QCOMPARE(cas.edtSDH->text(), typed.left(25));
        QCOMPARE(cas.frmLED->layout().teamPointSize, 70);
        cas.edtM1->clear();
        typeText(cas.edtM1, QString(24, QChar(u'ž')));
        QCOMPARE(cas.edtM1->text(), QString(20, QChar(u'ž')));
        cas.close();
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
