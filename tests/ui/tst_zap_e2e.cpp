// Measurement end to end with the real programs: the device simulator (qx-sim) on a
// pseudo-terminal, the timer console (stopky, offscreen) on that port, and zapisnik's window in
// this process on a private database. Runs played by the simulator reach the time box through
// stopky's messages; the operator picks and saves them, and the stored time, result and placing,
// the results grid, the placing label and "actual.txt" (read by stopky on AM_Text) follow.

#include "TestDb.h"
#include "ZapFixture.h"
#include "data/Tdm_QX.h"
#include "measurement/PanelMereni.h"
#include "messages/ActualFile.h"
#include "messages/Messages.h"
#include "ui/PanelListina.h"
#include "ui/TfrmQX.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace qx;
using namespace zapfix;

namespace {

// Waits of the programs on a busy machine: generous, a passing run returns at once.
constexpr int kCekani = 30000;

QStringList boxes;

// A child program, killed and reaped when the test ends however it ends. What it wrote is kept
// for the failure report.
struct Program {
    QProcess process;
    QByteArray output;

    Program() {
        QObject::connect(&process, &QProcess::readyReadStandardError,
                         [this] { output += process.readAllStandardError(); });
    }
    ~Program() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }
    bool running() const { return process.state() == QProcess::Running; }
};

} // namespace

class TstZapE2e : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void mereni_data();
    void mereni();
    void dvaPocitace();

private:
    bool startSimulator(int verze);
    bool startStopky();
    void simulator(const QString& prikazy);
    QStringList sloupec(const QByteArray& nazev);

    std::unique_ptr<TestDb> db_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Program> sim_;
    std::unique_ptr<Program> stopky_;
    QString port_;
    QString soutez_;
};

void TstZapE2e::initTestCase() {
    QString why;
    if (TestDb::shouldSkip(&why)) QSKIP(qPrintable("No MariaDB server (MYSQL_UNIX_PORT unset): " + why));
    QApplication::setApplicationName(QStringLiteral("zapisnik"));
    TfrmQX::messageBoxSeam = [](QMessageBox& box) { boxes.append(box.text()); };
    db_ = std::make_unique<TestDb>("e2e");
}

// Every scenario in a folder of its own, shared by the three programs: the settings of both
// (QX_CONFIG_DIR), the channel's sockets (XDG_RUNTIME_DIR) and "actual.txt" (the working folder).
void TstZapE2e::init() {
    boxes.clear();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    qputenv("QX_CONFIG_DIR", dir_->path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", dir_->path().toLocal8Bit());
    QVERIFY(QDir::setCurrent(dir_->path()));
    if (!db_) return;
    for (const char* t : {"soutezeqx", "katqx", "druzstvaqx"})
        db_->exec(QByteArray("DELETE FROM ") + t);
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, datum) VALUES ('Pohár starosty', '20240512')");
    soutez_ = QString::fromLatin1(db_->value("SELECT id FROM soutezeqx"));
    // Five teams in start order, two categories; ids follow the start order.
    db_->exec("INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, nazev_okresu, tym, kategorie) VALUES (" +
              soutez_.toLatin1() + ", '1', 'Řečany', 'Pardubice', 'A', 'muži'), (" + soutez_.toLatin1() +
              ", '2', 'Úpice', 'Trutnov', 'A', 'ženy'), (" + soutez_.toLatin1() +
              ", '3', 'Dolní Čermná', 'Ústí nad Orlicí', 'B', 'muži'), (" + soutez_.toLatin1() +
              ", '4', 'Chýnov', 'Tábor', 'A', 'ženy'), (" + soutez_.toLatin1() +
              ", '5', 'Šonov', 'Náchod', 'A', 'muži')");
}

void TstZapE2e::cleanup() {
    if (QTest::currentTestFailed()) {
        if (sim_) qWarning().noquote() << "qx-sim:\n" << QString::fromLocal8Bit(sim_->output);
        if (stopky_) qWarning().noquote() << "stopky:\n" << QString::fromLocal8Bit(stopky_->output);
    }
    stopky_.reset();
    sim_.reset();
    QDir::setCurrent(QDir::tempPath());
    dir_.reset();
}

void TstZapE2e::cleanupTestCase() {
    db_.reset();
}

// The simulator reads its commands from standard input; its first line is the port.
bool TstZapE2e::startSimulator(int verze) {
    sim_ = std::make_unique<Program>();
    sim_->process.start(QStringLiteral(QX_SIM_PATH), {QStringLiteral("--version"), QString::number(verze)});
    if (!sim_->process.waitForStarted()) return false;
    QDeadlineTimer deadline(kCekani);
    while (!sim_->process.canReadLine() && !deadline.hasExpired())
        sim_->process.waitForReadyRead(100);
    port_ = QString::fromLocal8Bit(sim_->process.readLine()).trimmed();
    return port_.startsWith(QLatin1String("/dev/"));
}

// The console with its settings (qx.ini) and working folder in the scenario's folder, on the
// simulator's port.
bool TstZapE2e::startStopky() {
    stopky_ = std::make_unique<Program>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QX_CONFIG_DIR"), dir_->path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_->path());
    stopky_->process.setProcessEnvironment(env);
    stopky_->process.setWorkingDirectory(dir_->path());
    stopky_->process.start(QStringLiteral(QX_STOPKY_PATH), {QStringLiteral("--port"), port_});
    return stopky_->process.waitForStarted();
}

// Commands for the simulator, separated by ";".
void TstZapE2e::simulator(const QString& prikazy) {
    for (const QString& p : prikazy.split(u';', Qt::SkipEmptyParts))
        sim_->process.write(p.trimmed().toLatin1() + '\n');
}

// One column of the five teams, in start order.
QStringList TstZapE2e::sloupec(const QByteArray& nazev) {
    QStringList out;
    for (const QByteArray& v :
         db_->column("SELECT " + nazev + " FROM druzstvaqx ORDER BY CAST(poradi AS UNSIGNED)"))
        out << QString::fromUtf8(v);
    return out;
}

void TstZapE2e::mereni_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<QString>("qxIni");     // stopky's settings file; empty: a first start
    QTest::addColumn<QString>("pozdrav");   // the device's greeting
    QTest::addColumn<QString>("casomira");  // zapisnik's status line after it
    QTest::addColumn<QStringList>("behy");  // per team in start order: the run played before its save
    QTest::addColumn<QStringList>("vyber"); // per team: the entry picked from the time box's list
    QTest::addColumn<bool>("zustava");      // whether a saved entry stays in the list
    QTest::addColumn<QStringList>("sloupce");
    QTest::addColumn<QList<QStringList>>("ulozeno"); // per column: the five teams' stored values
    QTest::addColumn<QStringList>("celkem");
    QTest::addColumn<QStringList>("pozice");
    QTest::addColumn<QStringList>("tabulka"); // results grid: placing | team | result
    QTest::addColumn<QStringList>("actual");  // "actual.txt" after the last save

    // Version 466 from stopky's settings, with "tisíciny": times and results in thousandths. The
    // third team ties with the first.
    QTest::newRow("one attack, 466")
        << 466 << QStringLiteral("[Cas]\nTyp=466\n[LED]\nFormat=1\n") << QStringLiteral("greet 0x0A 1")
        << QStringLiteral("Verze časomíry - QX 4.66, jeden útok")
        << QStringList{QStringLiteral("reset; start; attack L 17.53 18.01"),
                       QStringLiteral("reset; start; attack P 16.2 17.005"),
                       QStringLiteral("reset; start; attack L 17.9 18.01")}
        << QStringList{QStringLiteral("17,530L 18,010"), QStringLiteral("16,200P 17,005"),
                       QStringLiteral("17,900L 18,010")}
        << false << QStringList{QStringLiteral("cas1R"), QStringLiteral("cas1C"), QStringLiteral("cas1S")}
        << QList<QStringList>{{"17,530L", "16,200P", "17,900L", "", ""},
                              {"18,010", "17,005", "18,010", "", ""},
                              {"", "", "", "", ""}}
        << QStringList{"018,010", "017,005", "018,010", "", ""} << QStringList{"2.", "1.", "2.", "", ""}
        << QStringList{QStringLiteral("1.|Úpice|17,005"), QStringLiteral("2.|Řečany|18,010"),
                       QStringLiteral("2.|Dolní Čermná|18,010")}
        << QStringList{QStringLiteral("Dolní Čermná (B) - muži - 2. místo"),
                       QStringLiteral("Připraví se: Chýnov - ženy, Šonov - muži")};

    // A first start of stopky (version 454, hundredths) and a four-lane device: one run gives an
    // entry per lane; each team takes its lane, only the time is stored and the entries stay.
    QTest::newRow("four lanes, 454")
        << 454 << QString() << QStringLiteral("greet 0x04 2")
        << QStringLiteral("Verze časomíry - QX 4.54, čtyři dráhy")
        << QStringList{QStringLiteral("reset; start; lanes 20.5 18.23 19.07 21"), QString(),
                       QStringLiteral("reset; start; lanes 16.4 22.5 23 24.1")}
        << QStringList{QStringLiteral("1 20,50"), QStringLiteral("2 18,23"), QStringLiteral("1 16,40")}
        << true << QStringList{QStringLiteral("cas1S"), QStringLiteral("cas1R"), QStringLiteral("cas1C")}
        << QList<QStringList>{{"20,50", "18,23", "16,40", "", ""}, {"", "", "", "", ""}, {"", "", "", "", ""}}
        << QStringList{"020,50", "018,23", "016,40", "", ""} << QStringList{"3.", "2.", "1.", "", ""}
        << QStringList{QStringLiteral("1.|Dolní Čermná|16,40"), QStringLiteral("2.|Úpice|18,23"),
                       QStringLiteral("3.|Řečany|20,50")}
        << QStringList{QStringLiteral("Dolní Čermná (B) - muži - 1. místo"),
                       QStringLiteral("Připraví se: Chýnov - ženy, Šonov - muži")};
}

void TstZapE2e::mereni() {
    QFETCH(int, verze);
    QFETCH(QString, qxIni);
    QFETCH(QString, pozdrav);
    QFETCH(QString, casomira);
    QFETCH(QStringList, behy);
    QFETCH(QStringList, vyber);
    QFETCH(bool, zustava);
    QFETCH(QStringList, sloupce);
    QFETCH(QList<QStringList>, ulozeno);
    QFETCH(QStringList, celkem);
    QFETCH(QStringList, pozice);
    QFETCH(QStringList, tabulka);
    QFETCH(QStringList, actual);

    if (!qxIni.isEmpty()) {
        QFile ini(dir_->filePath(QStringLiteral("qx.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(qxIni.toUtf8());
    }

    // zapisnik first: it listens when the console starts and announces itself.
    Tdm_QX dm;
    TfrmQX okno(dm);
    QVERIFY(!okno.startupFailed());
    okno.show();
    TfrmQX* frm = &okno;
    PanelMereni* p = okno.pnl_mereni;

    QVERIFY2(startSimulator(verze), qPrintable(QString::fromLocal8Bit(sim_->output)));
    simulator(pozdrav); // sent once stopky has opened the port
    QVERIFY(startStopky());
    QTRY_COMPARE_WITH_TIMEOUT(okno.lbl_casomira->text(), casomira, kCekani);

    // The competition, then "Měření".
    FIND(StringGrid, souteze, "SG_souteze");
    clickRow(souteze, 1);
    QTest::mouseDClick(souteze->viewport(), Qt::LeftButton, {},
                       souteze->visualRect(souteze->model()->index(0, 0)).center());
    QCOMPARE(okno.id_soutez, soutez_);
    QVERIFY(okno.SB_mereni->isEnabled());
    okno.SB_mereni->click();
    QVERIFY(p->isVisible());
    QCOMPARE(p->lbl_mereni_tym->text(), QStringLiteral("Řečany (A) - muži"));
    // The current team goes to stopky: "actual.txt", then AM_Text, which stopky takes.
    QCOMPARE(readActualFile().line1, QStringLiteral("Řečany (A) - muži"));
    QVERIFY(okno.channel().hasConnection(StopkyName));
    QTRY_COMPARE_WITH_TIMEOUT(okno.channel().pendingBytes(StopkyName), qsizetype(0), kCekani);

    const QStringList tymy = sloupec("nazev_dr");
    for (int t = 0; t < behy.size(); ++t) {
        if (t > 0) {
            p->btn_mereni_next->click();
            QVERIFY(p->lbl_mereni_tym->text().startsWith(tymy[t] + QStringLiteral(" (")));
        }
        simulator(behy[t]);
        QTRY_VERIFY2_WITH_TIMEOUT(p->CB_mereni_cas->findText(vyber[t]) >= 0,
                                  qPrintable(vyber[t] + QStringLiteral(" not received")), kCekani);
        choose(p->CB_mereni_cas, vyber[t]);
        QCOMPARE(p->CB_mereni_cas->currentText(), vyber[t]);
        QVERIFY(p->btn_mereni_ulozit->isEnabled());
        p->btn_mereni_ulozit->click();
        QCOMPARE(p->CB_mereni_cas->findText(vyber[t]) >= 0, zustava);
        // The placing shown is the one stored for the current team.
        const QByteArray id = QByteArray::number(p->id_akt());
        QCOMPARE(p->lbl_mereni_poradi->text(),
                 QString::fromUtf8(db_->value("SELECT pozice FROM druzstvaqx WHERE id=" + id)) +
                     QStringLiteral(" místo"));
    }

    for (int s = 0; s < sloupce.size(); ++s)
        QCOMPARE(sloupec(sloupce[s].toLatin1()), ulozeno[s]);
    QCOMPARE(sloupec("celkem"), celkem);
    QCOMPARE(sloupec("pozice"), pozice);

    QStringList grid;
    for (int r = 1; r < p->SG_mereni->RowCount() && !p->SG_mereni->Cells(0, r).isEmpty(); ++r)
        grid << p->SG_mereni->Cells(0, r) + u'|' + p->SG_mereni->Cells(1, r) + u'|' +
                    p->SG_mereni->Cells(5, r);
    QCOMPARE(grid, tabulka);
    QCOMPARE(p->lbl_mereni_poradi->text(), actual[0].section(QStringLiteral(" - "), -1));

    const ActualReadResult soubor = readActualFile();
    QVERIFY2(soubor.ok, qPrintable(soubor.error));
    QCOMPARE(soubor.line1, actual[0]);
    QCOMPARE(soubor.line2, actual[1]);
    QTRY_COMPARE_WITH_TIMEOUT(okno.channel().pendingBytes(StopkyName), qsizetype(0), kCekani);

    QVERIFY2(stopky_->running(), stopky_->output.constData());
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(u'\n')));
}

// Two computers on one server: the first records the competition from the simulator through
// stopky, the second edits the start list meanwhile (its own connection and its own window). No
// edit is lost, and each window shows the other's change at its next check of the counters (the
// delays are printed).
void TstZapE2e::dvaPocitace() {
    QFile ini(dir_->filePath(QStringLiteral("qx.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[Cas]\nTyp=466\n[LED]\nFormat=1\n");
    ini.close();

    Tdm_QX dmA;
    TfrmQX a(dmA);
    QVERIFY(!a.startupFailed());
    a.show();
    // The second computer's window talks to no console: its channel lives in a folder of its own.
    QTemporaryDir jinde;
    qputenv("XDG_RUNTIME_DIR", jinde.path().toLocal8Bit());
    Tdm_QX dmB;
    TfrmQX b(dmB);
    qputenv("XDG_RUNTIME_DIR", dir_->path().toLocal8Bit());
    QVERIFY(!b.startupFailed());
    b.show();

    QVERIFY2(startSimulator(466), qPrintable(QString::fromLocal8Bit(sim_->output)));
    simulator(QStringLiteral("greet 0x0A 1"));
    QVERIFY(startStopky());
    QTRY_COMPARE_WITH_TIMEOUT(a.lbl_casomira->text(), QStringLiteral("Verze časomíry - QX 4.66, jeden útok"),
                              kCekani);
    for (TfrmQX* frm : {&a, &b}) {
        FIND(StringGrid, souteze, "SG_souteze");
        doubleClickRow(souteze, 1);
    }
    a.SB_mereni->click();
    b.SB_listina->click();
    PanelMereni* p = a.pnl_mereni;
    PanelListina* l = b.pnl_listina;
    QCOMPARE(p->lbl_mereni_tym->text(), QStringLiteral("Řečany (A) - muži"));
    QTRY_COMPARE_WITH_TIMEOUT(a.channel().pendingBytes(StopkyName), qsizetype(0), kCekani);

    // A run arrives on the first computer; before it is saved, the second one changes the same
    // team's entry and the next team's.
    simulator(QStringLiteral("reset; start; attack L 17.53 18.01"));
    QTRY_VERIFY_WITH_TIMEOUT(p->CB_mereni_cas->findText(QStringLiteral("17,530L 18,010")) >= 0, kCekani);
    clickRow(l->SG_listina, 1);
    l->edt_listina_draha->setText(QStringLiteral("L1"));
    l->btn_listina_ulozit->click();
    clickRow(l->SG_listina, 2);
    l->edt_listina_tym->setText(QStringLiteral("C"));
    l->btn_listina_ulozit->click();
    QCOMPARE(p->lbl_mereni_tym->text(), QStringLiteral("Řečany (A) - muži"));
    QVERIFY(p->CB_mereni_cas->findText(QStringLiteral("17,530L 18,010")) >= 0);

    choose(p->CB_mereni_cas, QStringLiteral("17,530L 18,010"));
    p->btn_mereni_ulozit->click();
    QCOMPARE(sloupec("CONCAT_WS('|',nazev_dr,tym,draha,cas1R,cas1C,celkem,pozice)"),
             (QStringList{QStringLiteral("Řečany|A|L1|17,530L|18,010|018,010|1."),
                          QStringLiteral("Úpice|C|||||"), QStringLiteral("Dolní Čermná|B|||||"),
                          QStringLiteral("Chýnov|A|||||"), QStringLiteral("Šonov|A|||||")}));

    // The second computer renames the recorded team's mark: the first one's results grid follows.
    clickRow(l->SG_listina, 1);
    l->edt_listina_tym->setText(QStringLiteral("C"));
    l->btn_listina_ulozit->click();
    QElapsedTimer t;
    t.start();
    QTRY_COMPARE_WITH_TIMEOUT(p->SG_mereni->Cells(3, 1), QStringLiteral("C"), kCekani);
    qInfo("the recording window showed the start-list change after %lld ms",
          static_cast<long long>(t.elapsed()));
    QCOMPARE(p->SG_mereni->Cells(1, 1), QStringLiteral("Řečany"));

    // The second computer is typing into the first team's entry while the next team's run is
    // saved and the entry is changed once more elsewhere: its list follows, the typed text stays.
    clickRow(l->SG_listina, 1);
    l->edt_listina_tym->setText(QStringLiteral("X"));
    p->btn_mereni_next->click();
    simulator(QStringLiteral("reset; start; attack P 16.2 17.005"));
    QTRY_VERIFY_WITH_TIMEOUT(p->CB_mereni_cas->findText(QStringLiteral("16,200P 17,005")) >= 0, kCekani);
    choose(p->CB_mereni_cas, QStringLiteral("16,200P 17,005"));
    p->btn_mereni_ulozit->click();
    QCOMPARE(db_->value("SELECT CONCAT(tym,cas1C,pozice) FROM druzstvaqx WHERE nazev_dr='Úpice'"),
             QByteArray("C17,0051."));
    dmA.save_listina(*dmA.nacti_druzstvo(l->radky().first().id),
                     Druzstvo{QStringLiteral("1"), QStringLiteral("Řečany"), QStringLiteral("Pardubice"),
                              QStringLiteral("C"), QStringLiteral("muži"), QStringLiteral("L2")});
    t.restart();
    QTRY_COMPARE_WITH_TIMEOUT(l->SG_listina->Cells(5, 1), QStringLiteral("L2"), kCekani);
    qInfo("the editing window showed the other's change after %lld ms", static_cast<long long>(t.elapsed()));
    QCOMPARE(l->edt_listina_tym->text(), QStringLiteral("X"));
    QCOMPARE(l->edt_listina_draha->text(), QStringLiteral("L1"));
    QCOMPARE(l->SG_listina->Row(), 1);
    QCOMPARE(sloupec("CONCAT_WS('|',tym,draha,cas1C,pozice)").mid(0, 2),
             (QStringList{QStringLiteral("C|L2|18,010|2."), QStringLiteral("C||17,005|1.")}));

    QVERIFY2(stopky_->running(), stopky_->output.constData());
    QVERIFY2(boxes.isEmpty(), qPrintable(boxes.join(u'\n')));
}

QTEST_MAIN(TstZapE2e)
#include "tst_zap_e2e.moc"
