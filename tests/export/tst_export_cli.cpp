// The headless export run as scripts run it: the zapisnik program with --export-pdf, --export-xlsx
// or --export-csv against the private test database, no window and no display. Exit codes, the
// file written whole, and the results recomputed before they are printed.

#include "TestDb.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TstExportCli : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDb> db_;
    QTemporaryDir dir_;
    QByteArray id_;

    struct Run {
        int code;
        QString err;
    };
    Run run(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM")); // the command needs no display of its own
        env.remove(QStringLiteral("DISPLAY"));
        env.insert(QStringLiteral("QX_CONFIG_DIR"), dir_.path());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir_.path());
        p.start(QStringLiteral(QX_ZAPISNIK), args);
        if (!p.waitForFinished(60000)) return {-1, QStringLiteral("timed out")};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2,
                QString::fromUtf8(p.readAllStandardError())};
    }
    static QString pdfText(const QString& path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

private slots:
    void initTestCase() {
        QString why;
        if (TestDb::shouldSkip(&why)) QSKIP(qPrintable(why));
        QVERIFY(dir_.isValid());
        db_ = std::make_unique<TestDb>("cli");
        db_->exec("INSERT INTO soutezeqx (nazev_souteze, nazev_okresu, nazev_obce, datum, cas) VALUES "
                  "('Pohár Žďáru', 'Žďár nad Sázavou', 'Křižánky', '20250614', '9:00')");
        id_ = db_->value("SELECT id FROM soutezeqx");
        db_->exec(
            "INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, tym, kategorie, cas1R, cas1C) VALUES (" +
            id_ + ", '1', 'Štěpánov', 'A', 'Muži', '17,53L', '18,01'), (" + id_ +
            ", '2', 'Řečice', 'B', 'Ženy', '16,00P', '16,06'), (" + id_ +
            ", '3', 'Újezd', '', 'Muži', '', '')");
    }
    void cleanupTestCase() { db_.reset(); }

    void startList() {
        const QString out = dir_.filePath(QStringLiteral("startovka.pdf"));
        const Run r = run({u"--export-pdf"_qs, out, u"--competition"_qs, QString::fromLatin1(id_)});
        QCOMPARE(r.code, 0);
        const QString text = pdfText(out);
        QVERIFY2(text.contains(u"Štěpánov"_qs) && text.contains(u"Řečice"_qs) && text.contains(u"Újezd"_qs),
                 qPrintable(text));
        QVERIFY(text.contains(u"Pohár Žďáru"_qs));
    }

    // The results view recomputes first: nothing is stored yet, yet the results are placed.
    void resultsRecomputed() {
        QCOMPARE(db_->value("SELECT COUNT(*) FROM druzstvaqx WHERE celkem<>''"), QByteArray("0"));
        const QString out = dir_.filePath(QStringLiteral("vysledky.pdf"));
        const Run r = run({u"--export-pdf"_qs, out, u"--competition"_qs, QString::fromLatin1(id_),
                           u"--view"_qs, u"results"_qs, u"--version"_qs, u"454"_qs});
        QCOMPARE(r.code, 0);
        QCOMPARE(db_->value("SELECT CONCAT(celkem, '|', pozice) FROM druzstvaqx WHERE nazev_dr='Řečice'"),
                 QByteArray("016,06|1."));
        const QString text = pdfText(out);
        QVERIFY2(text.contains(u"16,06"_qs) && text.contains(u"18,01"_qs), qPrintable(text));
        QVERIFY(!text.contains(u"Újezd"_qs)); // no result, not listed
    }

    void failures_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        QTest::newRow("unknown competition")
            << QStringList{u"--export-pdf"_qs, u"x.pdf"_qs, u"--competition"_qs, u"999999"_qs} << 1
            << u"999999"_qs;
        QTest::newRow("folder missing")
            << QStringList{u"--export-pdf"_qs, u"/nonexistent/dir/x.pdf"_qs, u"--competition"_qs, u"ID"_qs}
            << 1 << u"/nonexistent/dir/x.pdf"_qs;
        QTest::newRow("bad usage") << QStringList{u"--export-pdf"_qs, u"x.pdf"_qs} << 2 << u"Použití"_qs;
        QTest::newRow("xlsx: unknown competition")
            << QStringList{u"--export-xlsx"_qs, u"x.xlsx"_qs, u"--competition"_qs, u"999999"_qs} << 1
            << u"999999"_qs;
        QTest::newRow("csv: folder missing")
            << QStringList{u"--export-csv"_qs, u"/nonexistent/dir/x.csv"_qs, u"--competition"_qs, u"ID"_qs}
            << 1 << u"/nonexistent/dir/x.csv"_qs;
        QTest::newRow("xlsx: bad usage")
            << QStringList{u"--export-xlsx"_qs, u"x.xlsx"_qs} << 2 << u"Použití"_qs;
        QTest::newRow("csv: bad view") << QStringList{u"--export-csv"_qs, u"x.csv"_qs,  u"--competition"_qs,
                                                      u"ID"_qs,           u"--view"_qs, u"vse"_qs}
                                       << 2 << u"Použití"_qs;
    }
    void failures() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, says);
        args.replaceInStrings(u"ID"_qs, QString::fromLatin1(id_));
        const Run r = run(args);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
    }

    // The spreadsheets for scripts, read back: the start list whole, the results without the team
    // that has none (they were recomputed by the results run above).
    void spreadsheets_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("view");
        QTest::addColumn<QStringList>("contains");
        QTest::addColumn<QStringList>("lacks");
        const QStringList vsichni{u"Štěpánov"_qs, u"Řečice"_qs, u"Újezd"_qs};
        QTest::newRow("xlsx start") << u"--export-xlsx"_qs << u"start"_qs << vsichni << QStringList{};
        QTest::newRow("csv start") << u"--export-csv"_qs << u"start"_qs << vsichni << QStringList{};
        QTest::newRow("xlsx results")
            << u"--export-xlsx"_qs << u"results"_qs << QStringList{u"Štěpánov"_qs, u"Řečice"_qs, u"16.06"_qs}
            << QStringList{u"Újezd"_qs};
        QTest::newRow("csv results") << u"--export-csv"_qs << u"results"_qs
                                     << QStringList{u"Štěpánov"_qs, u"Řečice;"_qs, u"16,06"_qs}
                                     << QStringList{u"Újezd"_qs};
    }
    void spreadsheets() {
        QFETCH(QString, option);
        QFETCH(QString, view);
        QFETCH(QStringList, contains);
        QFETCH(QStringList, lacks);
        const bool xlsx = option == u"--export-xlsx"_qs;
        const QString out = dir_.filePath(xlsx ? u"tabulka.xlsx"_qs : u"tabulka.csv"_qs);
        QFile::remove(out);
        const Run r = run({option, out, u"--competition"_qs, QString::fromLatin1(id_), u"--view"_qs, view,
                           u"--version"_qs, u"454"_qs});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QString text;
        if (xlsx) {
            QProcess p;
            p.start(u"unzip"_qs, {u"-p"_qs, out, u"xl/sharedStrings.xml"_qs, u"xl/worksheets/sheet1.xml"_qs});
            QVERIFY(p.waitForFinished(30000));
            text = QString::fromUtf8(p.readAllStandardOutput());
        } else {
            QFile f(out);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray data = f.readAll();
            QVERIFY(data.startsWith("\xEF\xBB\xBF"));
            text = QString::fromUtf8(data);
        }
        for (const QString& t : contains)
            QVERIFY2(text.contains(t), qPrintable(t + u'\n' + text));
        for (const QString& t : lacks)
            QVERIFY2(!text.contains(t), qPrintable(t + u'\n' + text));
    }
};

QTEST_GUILESS_MAIN(TstExportCli)
#include "tst_export_cli.moc"
