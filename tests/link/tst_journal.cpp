// The console's journal: what it writes, what a restarted console reads back from it, the day's
// file, and a folder that cannot be written.

#include "link/Journal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace stopky;

Q_DECLARE_METATYPE(stopky::Nast)

namespace {
QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
QDateTime at(const char* iso) {
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs);
}
} // namespace

class TestJournal : public QObject {
    Q_OBJECT
private slots:
    // The folder: beside the settings when QX_CONFIG_DIR is set, else the XDG state folder.
    void folder() {
        const QByteArray config = qgetenv("QX_CONFIG_DIR");
        const QByteArray state = qgetenv("XDG_STATE_HOME");
        qputenv("QX_CONFIG_DIR", "/tmp/qx-conf/");
        QCOMPARE(journalDir(), QStringLiteral("/tmp/qx-conf"));
        qunsetenv("QX_CONFIG_DIR");
        qputenv("XDG_STATE_HOME", "/tmp/state");
        QCOMPARE(journalDir(), QStringLiteral("/tmp/state/qx"));
        qunsetenv("XDG_STATE_HOME");
        QCOMPARE(journalDir(), QDir::homePath() + QStringLiteral("/.local/state/qx"));
        if (!config.isNull()) qputenv("QX_CONFIG_DIR", config);
        if (!state.isNull()) qputenv("XDG_STATE_HOME", state);
        QCOMPARE(journalFileName(QDate(2026, 6, 4)), QStringLiteral("stopky-2026-06-04.log"));
    }

    // A day's lines as a person reads them; nothing reaches the file before a flush.
    void linesAndFlush() {
        QTemporaryDir dir;
        Journal j(dir.path() + QStringLiteral("/state"));
        j.now = [] { return at("2026-06-14T09:05:01.042"); };
        j.greeting(468, QByteArrayView("\x01\x0a\xa1\xae", 4));
        j.settings(468, Nast{0x0A, 0xA1, 0xAE});
        j.bytes(468, QByteArrayView("\xaa\xab\xba\x00\x00\x12\x34", 7));
        j.entry(468, QStringLiteral("12,34L 13,45"));
        j.entry(468, QStringLiteral("1 5,x7"), QStringLiteral("Čas „1 5,x7“ nelze převést:\nšpatná číslice"));
        const QString path = dir.path() + QStringLiteral("/state/stopky-2026-06-14.log");
        QCOMPARE(j.currentPath(), path);
        QVERIFY(!QFile::exists(path));
        QVERIFY(j.sync());
        QCOMPARE(readAll(path), QStringLiteral("09:05:01.042 468 pozdrav: 01 0a a1 ae\n"
                                               "09:05:01.042 468 nastavení: 0a a1 ae\n"
                                               "09:05:01.042 468 bajty: aa ab ba 00 00 12 34\n"
                                               "09:05:01.042 468 čas: 12,34L 13,45\n"
                                               "09:05:01.042 468 čas: 1 5,x7\n"
                                               "09:05:01.042 468 chyba převodu: Čas „1 5,x7“ nelze převést: "
                                               "špatná číslice\n"));
        QCOMPARE(Journal::entries(path),
                 (QStringList{QStringLiteral("12,34L 13,45"), QStringLiteral("1 5,x7")}));
    }

    // A restarted console appends to the same file; the entries of today only are listed again.
    void todaysEntriesAcrossRestartsAndDays() {
        QTemporaryDir dir;
        QDateTime now = at("2026-06-13T23:59:59.900");
        {
            Journal j(dir.path());
            j.now = [&now] { return now; };
            j.entry(466, QStringLiteral("1 20,00"));
            now = at("2026-06-14T00:00:00.100");
            j.entry(466, QStringLiteral("2 21,00")); // a new day: yesterday's line is written first
            QVERIFY(j.flush());
            QCOMPARE(Journal::entries(dir.filePath(QStringLiteral("stopky-2026-06-13.log"))),
                     QStringList{QStringLiteral("1 20,00")});
        }
        Journal again(dir.path());
        again.now = [&now] { return now; };
        again.entry(466, QStringLiteral("3 22,00"));
        QVERIFY(again.flush());
        QCOMPARE(again.todaysEntries(), (QStringList{QStringLiteral("2 21,00"), QStringLiteral("3 22,00")}));
    }

    // The last settings: the last settings line of the newest file that has one; lines that are
    // damaged or of another kind do not count.
    void lastSettings_data() {
        QTest::addColumn<QStringList>("files"); // name, content, name, content, ...
        QTest::addColumn<int>("verze");         // 0: none
        QTest::addColumn<Nast>("nast");
        QTest::newRow("empty folder") << QStringList{} << 0 << Nast{};
        QTest::newRow("greeting then a settings frame")
            << QStringList{"stopky-2026-06-14.log",
                           "08:00:00.000 468 pozdrav: 01 0a a1 ae\n08:00:00.000 468 nastavení: 0a a1 ae\n"
                           "08:10:00.000 468 bajty: 5a 02\n08:10:00.000 468 nastavení: 02 a1 ae\n"
                           "08:11:00.000 468 čas: 1 20,00\n"}
            << 468 << Nast{0x02, 0xA1, 0xAE};
        QTest::newRow("newest file without settings: the one before")
            << QStringList{"stopky-2026-06-13.log", "18:00:00.000 454 nastavení: 03 a2 00\n",
                           "stopky-2026-06-14.log", "08:00:00.000 454 čas: 1 20,00\n"}
            << 454 << Nast{0x03, 0xA2, 0x00};
        QTest::newRow("newest file wins")
            << QStringList{"stopky-2026-06-14.log", "08:00:00.000 466 nastavení: 0c a1 ac\n",
                           "stopky-2025-12-31.log", "18:00:00.000 454 nastavení: 03 a2 00\n"}
            << 466 << Nast{0x0C, 0xA1, 0xAC};
        QTest::newRow("damaged lines skipped")
            << QStringList{"stopky-2026-06-14.log",
                           "08:00:00.000 467 nastavení: 0a 12 ae\n08:01:00.000 467 nastavení: 0b 1\n"
                           "08:01:00.000 467 nastav"}
            << 467 << Nast{0x0A, 0x12, 0xAE};
        QTest::newRow("other files ignored")
            << QStringList{"poznamky.log", "08:00:00.000 466 nastavení: 0c a1 ac\n"} << 0 << Nast{};
    }
    void lastSettings() {
        QFETCH(QStringList, files);
        QFETCH(int, verze);
        QFETCH(Nast, nast);
        QTemporaryDir dir;
        for (int i = 0; i + 1 < files.size(); i += 2) {
            QFile f(dir.filePath(files[i]));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(files[i + 1].toUtf8());
        }
        const std::optional<JournalSettings> s = Journal(dir.path()).lastSettings();
        QCOMPARE(s.has_value(), verze != 0);
        if (s) QCOMPARE(*s, (JournalSettings{verze, nast}));
    }

    // A journal that cannot be written (here the folder's name is taken by a file, then the next
    // day's file name by a folder): told once, not at every flush; told again after it worked in
    // between. The lines kept meanwhile are written once it works.
    void failureToldOnce() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("j"));
        {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        Journal j(folder);
        QStringList told;
        j.onError = [&told](const QString& e) { told << e; };
        j.entry(454, QStringLiteral("1 10,00"));
        QVERIFY(!j.sync());
        j.entry(454, QStringLiteral("2 11,00"));
        QVERIFY(!j.flush());
        QCOMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(folder), qPrintable(told[0]));
        QVERIFY(j.failing());

        QVERIFY(QFile::remove(folder));
        QVERIFY(j.flush());
        QVERIFY(!j.failing());
        QCOMPARE(j.todaysEntries(), (QStringList{QStringLiteral("1 10,00"), QStringLiteral("2 11,00")}));

        const QDateTime tomorrow = QDateTime::currentDateTime().addDays(1);
        QVERIFY(QDir(folder).mkdir(journalFileName(tomorrow.date())));
        j.now = [tomorrow] { return tomorrow; };
        j.entry(454, QStringLiteral("3 12,00"));
        QVERIFY(!j.flush());
        QCOMPARE(told.size(), 2);
        QVERIFY2(told[1].contains(journalFileName(tomorrow.date())), qPrintable(told[1]));
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
