// "actual.txt": two CR LF lines in UTF-8, replaced whole or not at all, read back line by line.
#include "messages/ActualFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

class TestActualFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void writesTwoCrLfLinesInUtf8();
    void roundTrip();
    void readsLineForms_data();
    void readsLineForms();
    void missingFileIsAnError();
    void failedWriteKeepsOldFile();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("actual.txt")); }
    static QByteArray contents(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestActualFile::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestActualFile::writesTwoCrLfLinesInUtf8() {
    const QString team = QStringLiteral("SDH Žďár (A) - muži - 1. místo");
    const auto r = qx::writeActualFile(team, QString(), path());
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(contents(path()), team.toUtf8() + "\r\n\r\n");
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"actual.txt"}); // no temp left

    // A line break inside a text cannot shift line 2.
    QVERIFY(qx::writeActualFile(QStringLiteral("A\r\nB"), QStringLiteral("C\nD"), path()).ok);
    QCOMPARE(contents(path()), QByteArray("A  B\r\nC D\r\n"));
}

void TestActualFile::roundTrip() {
    const QString line1 = QStringLiteral("Hasiči Kostelec (B) - ženy");
    const QString line2 = QStringLiteral("Připraví se: Lhota - muži, Újezd - ženy");
    QVERIFY(qx::writeActualFile(QStringLiteral("old"), QStringLiteral("old"), path()).ok);
    QVERIFY(qx::writeActualFile(line1, line2, path()).ok);
    const auto r = qx::readActualFile(path());
    QVERIFY(r.ok);
    QCOMPARE(r.line1, line1);
    QCOMPARE(r.line2, line2);
    QVERIFY(r.error.isEmpty());
}

void TestActualFile::readsLineForms_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");
    QTest::newRow("one line, CR LF") << QByteArray("Tým A\r\n") << "Tým A"
                                     << "";
    QTest::newRow("one line, no end") << QByteArray("Tým A") << "Tým A"
                                      << "";
    QTest::newRow("LF only") << QByteArray("a\nb\n") << "a"
                             << "b";
    QTest::newRow("empty second line") << QByteArray("a\r\n\r\n") << "a"
                                       << "";
    QTest::newRow("third line ignored") << QByteArray("a\r\nb\r\nc\r\n") << "a"
                                        << "b";
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFx\r\ny") << "x"
                                     << "y";
    QTest::newRow("empty file") << QByteArray() << ""
                                << "";
}

void TestActualFile::readsLineForms() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, line1);
    QFETCH(QString, line2);
    QFile f(path());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const auto r = qx::readActualFile(path());
    QVERIFY(r.ok);
    QCOMPARE(r.line1, line1);
    QCOMPARE(r.line2, line2);
}

void TestActualFile::missingFileIsAnError() {
    const auto r = qx::readActualFile(path());
    QVERIFY(!r.ok);
    QVERIFY(r.line1.isEmpty() && r.line2.isEmpty());
    QVERIFY(r.error.contains(QStringLiteral("actual.txt")));

    const auto w = qx::writeActualFile(QStringLiteral("x"), QString(),
                                       m_dir->filePath(QStringLiteral("no/such/actual.txt")));
    QVERIFY(!w.ok);
    QVERIFY(!w.error.isEmpty());
}

// A write that fails half-way (here: the file size limit) leaves the previous file whole.
void TestActualFile::failedWriteKeepsOldFile() {
    QVERIFY(qx::writeActualFile(QStringLiteral("Tým A"), QStringLiteral("Připraví se: B"), path()).ok);
    const QByteArray before = contents(path());

    rlimit old{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto r = qx::writeActualFile(QString(200, u'x'), QString(200, u'y'), path());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!r.ok);
    QVERIFY(!r.error.isEmpty());
    QCOMPARE(contents(path()), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"actual.txt"});
}

QTEST_GUILESS_MAIN(TestActualFile)
#include "tst_actualfile.moc"
