// The headless --audit and --backup commands run as scripts (cron) run them: the zapisnik program
// against the private test database, no window and no display. The trail's lines, the backup
// file in the folder given or the folder of qx_db.ini, and the exit codes.

#include "TestDb.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstZalohaCli : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDb> db_;
    QTemporaryDir dir_;
    QByteArray id_;
    QByteArray tym_;

    struct Run {
        int code;
        QString out;
        QString err;
    };
    Run run(const QStringList& args, const QByteArray& socket = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the commands need no display
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("QX_CONFIG_DIR"), dir_.path());
        if (!socket.isEmpty()) env.insert(QStringLiteral("MYSQL_UNIX_PORT"), QString::fromLatin1(socket));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir_.path());
        p.start(QStringLiteral(QX_ZAPISNIK), args);
        if (!p.waitForFinished(60000)) return {-1, {}, QStringLiteral("timed out")};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

private slots:
    void initTestCase() {
        QString why;
        if (TestDb::shouldSkip(&why)) QSKIP(qPrintable(why));
        QVERIFY(dir_.isValid());
        db_ = std::make_unique<TestDb>("zalcli");
        db_->exec("INSERT INTO soutezeqx (nazev_souteze) VALUES ('Pohár Žďáru')");
        id_ = db_->value("SELECT id FROM soutezeqx");
        db_->exec(
            "INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, tym, kategorie, cas1R, cas1C) VALUES (" +
            id_ + ", '1', 'Štěpánov', 'A', 'Muži', '17,53L', '18,01')");
        tym_ = db_->value("SELECT id FROM druzstvaqx");
        db_->exec("INSERT INTO zmenyqx (id_soutez, id_druzstva, cas, sloupec, stara, nova, pricina, pocitac) "
                  "VALUES (" +
                  id_ + ", " + tym_ +
                  ", '2026-06-14 10:05:07.120', 'cas1C', '', '18,01', 'ulozeni', 'pc-1'), (" + id_ + ", " +
                  tym_ + ", '2026-06-14 10:06:00.000', 'pozice', '2.', '1.', 'prepocet', 'pc-2'), (" + id_ +
                  ", 999999, '2026-06-14 10:07:00.000', 'M1', '4,20', '', 'rucne', 'pc-2'), (" + id_ +
                  " + 1, " + tym_ + ", '2026-06-14 10:08:00.000', 'cas1C', '', '1,00', 'rucne', 'jinde')");
    }
    void cleanupTestCase() { db_.reset(); }

    // One line per record of the competition, oldest first, after the header.
    void audit() {
        const Run r = run({"--audit", "--competition", QString::fromLatin1(id_)});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.err, QString());
        const QStringList radky = r.out.split('\n');
        QCOMPARE(radky,
                 (QStringList{
                     "Čas\tDružstvo\tSloupec\tPopis\tPůvodně\tNově\tPříčina\tPočítač",
                     "2026-06-14 10:05:07.120\tŠtěpánov (A) - Muži\tcas1C\t1. kolo – čas\t\t18,01\tuložení "
                     "času\tpc-1",
                     "2026-06-14 10:06:00.000\tŠtěpánov (A) - Muži\tpozice\tPořadí\t2.\t1.\tpřepočet\tpc-2",
                     "2026-06-14 10:07:00.000\t(družstvo 999999 smazáno)\tM1\tMezičas 1\t4,20\t\truční "
                     "zadání\tpc-2",
                     ""}));
    }

    void backup() {
        const QString kam = dir_.filePath("usb");
        Run r = run({"--backup", "--competition", QString::fromLatin1(id_), "--to", kam});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QString soubor = r.out.trimmed();
        QCOMPARE(QFileInfo(soubor).absolutePath(), QDir(kam).absolutePath());
        QFile f(soubor);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray sql = f.readAll();
        QVERIFY(sql.contains("'Štěpánov'"));
        QVERIFY(sql.contains("COMMIT;"));

        // Without --to: the folder of qx_db.ini.
        QFile ini(dir_.filePath("qx_db.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Zaloha]\nSlozka=" + dir_.filePath("z ini").toUtf8() + "\nPocet=2\n");
        ini.close();
        r = run({"--backup", "--competition", QString::fromLatin1(id_)});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(QFileInfo(r.out.trimmed()).absolutePath(), QDir(dir_.filePath("z ini")).absolutePath());
        QVERIFY(QFile::exists(r.out.trimmed()));
    }

    // The commands reach the server the window is set to: qx_db.ini's [Databaze] (here only the
    // database's name, without QX_DB_NAME in the environment).
    void serverFromQxDbIni() {
        const QByteArray jmeno = qgetenv("QX_DB_NAME");
        qunsetenv("QX_DB_NAME");
        const auto vrat = qScopeGuard([&] {
            qputenv("QX_DB_NAME", jmeno);
            QFile::remove(dir_.filePath("qx_db.ini"));
        });
        QFile ini(dir_.filePath("qx_db.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Databaze]\nDatabaze=" + db_->name() + "\n");
        ini.close();
        const Run r = run({"--audit", "--competition", QString::fromLatin1(id_)});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(u"Štěpánov (A) - Muži"_qs), qPrintable(r.out));
    }

    void exitCodes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("bezServeru");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err"); // the start of standard error
        QTest::newRow("unknown competition") << QStringList{"--audit", "--competition", "424242"} << false
                                             << 1 << "Soutěž 424242 v databázi není.";
        QTest::newRow("backup of an unknown competition")
            << QStringList{"--backup", "--competition", "424242", "--to", "/tmp"} << false << 1
            << "Soutěž 424242 v databázi není.";
        QTest::newRow("no server") << QStringList{"--audit", "--competition", "1"} << true << 1
                                   << "Chyba databáze";
        QTest::newRow("no competition") << QStringList{"--audit"} << false << 2 << "zapisnik: --competition";
        QTest::newRow("both commands") << QStringList{"--audit", "--backup", "--competition", "1"} << false
                                       << 2 << "zapisnik: Zadejte jen jednu";
    }
    void exitCodes() {
        QFETCH(QStringList, args);
        QFETCH(bool, bezServeru);
        QFETCH(int, code);
        QFETCH(QString, err);
        const Run r = run(args, bezServeru ? QByteArray("/nonexistent/qx/mysqld.sock") : QByteArray());
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.startsWith(err), qPrintable(r.err));
        QCOMPARE(r.out, QString());
        if (code == 2) QVERIFY(r.err.contains("Použití:"));
    }
};

QTEST_GUILESS_MAIN(TstZalohaCli)
#include "tst_zaloha_cli.moc"
