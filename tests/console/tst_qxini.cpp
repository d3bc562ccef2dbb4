#include "console/qxini.h"
#include "settings/ConfigDir.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace stopky;

class TestQxIni : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("qx.ini")); }

    void writeRaw(const QByteArray& text) {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray readRaw() {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init() {
        QFile::remove(path());
        qputenv("QX_CONFIG_DIR", m_dir.path().toUtf8());
    }

    void firstRunGivesDefaults() {
        QCOMPARE(qxIniPath(), path());
        const QxIni v = readQxIni(path());
        QCOMPARE(v.casLeft, 0);
        QCOMPARE(v.casTop, 10);
        QCOMPARE(v.casWidth, 462);
        QCOMPARE(v.casHeight, 328);
        QCOMPARE(v.typ, 454);
        QCOMPARE(v.format, 0);
        QVERIFY(v.m0.isEmpty() && v.m1.isEmpty() && v.m2.isEmpty() && v.mr.isEmpty());
        QCOMPARE(v.ledLeft, 450);
        QCOMPARE(v.ledTop, 10);
        QCOMPARE(v.ledWidth, 462);
        QCOMPARE(v.ledHeight, 328);
    }

    void missingOrBadKeysGiveDefaults() {
        writeRaw("[Cas]\nLeft=abc\nTop= 33 \n[LED]\nM1=Přestřik\n");
        const QxIni v = readQxIni(path());
        QCOMPARE(v.casLeft, 0);
        QCOMPARE(v.casTop, 33);
        QCOMPARE(v.casWidth, 462);
        QCOMPARE(v.typ, 454);
        QCOMPARE(v.m1, QStringLiteral("Přestřik"));
        QCOMPARE(v.ledLeft, 450);
    }

    void roundTripKeepsTexts() {
        QxIni v;
        v.casLeft = -5;
        v.casTop = 200;
        v.casWidth = 470;
        v.casHeight = 330;
        v.typ = 468;
        v.format = 1;
        v.m0 = QStringLiteral("Mezičas, přečerpání"); // comma stays one value
        v.m1 = QStringLiteral("  Útok ");             // outer blanks kept
        v.m2 = QStringLiteral("\"Žluťoučký\"");       // quotes of its own kept
        v.mr = QStringLiteral("Rozdíl; = x");
        v.ledLeft = 900;
        v.ledTop = 20;
        v.ledWidth = 640;
        v.ledHeight = 480;
        QVERIFY(writeQxIni(path(), v, true));

        const QByteArray raw = readRaw();
        QVERIFY2(raw.contains(QStringLiteral("M0=Mezičas, přečerpání\n").toUtf8()), raw.constData());

        const QxIni r = readQxIni(path());
        QCOMPARE(r.casLeft, v.casLeft);
        QCOMPARE(r.casTop, v.casTop);
        QCOMPARE(r.casWidth, v.casWidth);
        QCOMPARE(r.casHeight, v.casHeight);
        QCOMPARE(r.typ, 468);
        QCOMPARE(r.format, 1);
        QCOMPARE(r.m0, v.m0);
        QCOMPARE(r.m1, v.m1);
        QCOMPARE(r.m2, v.m2);
        QCOMPARE(r.mr, v.mr);
        QCOMPARE(r.ledLeft, v.ledLeft);
        QCOMPARE(r.ledTop, v.ledTop);
        QCOMPARE(r.ledWidth, v.ledWidth);
        QCOMPARE(r.ledHeight, v.ledHeight);
    }

    void otherKeysAndCommentsSurvive() {
        writeRaw("; nastavení stopek\n[Cas]\nLeft=1\nBarva=červená\n\n; displej\n[LED]\nM0=a\n"
                 "[Jiné]\nKlíč=hodnota, druhá\n");
        QxIni v;
        v.m0 = QStringLiteral("b");
        QVERIFY(writeQxIni(path(), v, false));
        const QByteArray raw = readRaw();
        for (const char* kept : {"; nastavení stopek", "Barva=červená", "; displej", "[Jiné]",
                                 "Klíč=hodnota, druhá", "M0=b", "Left=0"})
            QVERIFY2(raw.contains(kept), kept);
        QVERIFY(!raw.contains("M0=a"));
        QCOMPARE(readQxIni(path()).m0, QStringLiteral("b"));
    }

    void typWrittenOnlyWhenChecked_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("typ");
        QTest::addColumn<QByteArray>("expectedLine"); // empty: no "Typ" line at all
        QTest::newRow("unknown stays")
            << QByteArray("[Cas]\nTyp=999\n") << false << 454 << QByteArray("Typ=999");
        QTest::newRow("none checked, no file") << QByteArray() << false << 454 << QByteArray();
        QTest::newRow("checked overwrites")
            << QByteArray("[Cas]\nTyp=999\n") << true << 467 << QByteArray("Typ=467");
        QTest::newRow("checked, no file") << QByteArray() << true << 458 << QByteArray("Typ=458");
    }
    void typWrittenOnlyWhenChecked() {
        QFETCH(QByteArray, before);
        QFETCH(bool, checked);
        QFETCH(int, typ);
        QFETCH(QByteArray, expectedLine);
        if (!before.isEmpty()) writeRaw(before);
        QCOMPARE(readQxIni(path()).typ, before.isEmpty() ? 454 : 999);
        QxIni v;
        v.typ = typ;
        QVERIFY(writeQxIni(path(), v, checked));
        const QByteArray raw = readRaw();
        if (expectedLine.isEmpty())
            QVERIFY2(!raw.contains("Typ="), raw.constData());
        else {
            QCOMPARE(raw.count("Typ="), 1);
            QVERIFY2(raw.contains(expectedLine + '\n'), raw.constData());
        }
    }

    void oldCodePageFileIsRead() {
        // "Mezičas" in Windows-1250: č = 0xE8
        writeRaw("[LED]\r\nM0=Mezi\xE8"
                 "as\r\n");
        QCOMPARE(readQxIni(path()).m0, QStringLiteral("Mezičas"));
    }

    // A qx.ini that is there but cannot be read gives the defaults and a message, and closing the
    // console writes nothing over it.
    void unreadableFileLeftAlone_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("noRights");
        const QByteArray text = "; vlastní poznámka\r\n[Cas]\r\nLeft=77\r\nTyp=466\r\n";
        QTest::newRow("no right to read it") << text << true;
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        QTest::newRow("UTF-16 without a byte-order mark")
            << QByteArray(utf16.encode(QString::fromUtf8(text))) << false;
    }
    void unreadableFileLeftAlone() {
        QFETCH(QByteArray, content);
        QFETCH(bool, noRights);
        if (noRights && ::geteuid() == 0) QSKIP("root reads a file without read rights");
        writeRaw(content);
        if (noRights) QVERIFY(QFile::setPermissions(path(), QFileDevice::WriteOwner));
        QString error;
        const QxIni v = readQxIni(path(), &error);
        QCOMPARE(v.casLeft, 0);
        QCOMPARE(v.typ, 454);
        QVERIFY2(error.startsWith(QStringLiteral("Soubor nastavení „%1“ nelze přečíst: ").arg(path())),
                 qPrintable(error));
        QVERIFY2(error.contains(QStringLiteral("nepřepíšou")), qPrintable(error));
        QVERIFY(!writeQxIni(path(), QxIni{}, true));
        QVERIFY(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(readRaw(), content);
    }

    // A qx.ini saved as UTF-16 with a byte-order mark (Notepad's "Unicode") is read and kept so.
    void utf16FileRead() {
        QStringEncoder utf16(QStringEncoder::Utf16LE, QStringConverter::Flag::WriteBom);
        writeRaw(utf16.encode(QStringLiteral("; poznámka\r\n[Cas]\r\nLeft=77\r\n[LED]\r\nM0=Mezičas\r\n")));
        QString error;
        const QxIni v = readQxIni(path(), &error);
        QCOMPARE(error, QString());
        QCOMPARE(v.casLeft, 77);
        QCOMPARE(v.m0, QStringLiteral("Mezičas"));
        QxIni changed = v;
        changed.m1 = QStringLiteral("Přestřik");
        QVERIFY(writeQxIni(path(), changed, false));
        const QByteArray raw = readRaw();
        QVERIFY(raw.startsWith("\xFF\xFE"));
        const QString back = QStringDecoder(QStringConverter::Utf16LE).decode(raw);
        for (const QString& line : {QStringLiteral("; poznámka"), QStringLiteral("Left=77"),
                                    QStringLiteral("M0=Mezičas"), QStringLiteral("M1=Přestřik")})
            QVERIFY2(back.contains(line), qPrintable(line));
    }

    void folderRule() {
        QTemporaryDir prog, xdg;
        qputenv("XDG_CONFIG_HOME", xdg.path().toUtf8());
        QCOMPARE(qx::configDir(prog.path()), m_dir.path()); // QX_CONFIG_DIR wins
        qunsetenv("QX_CONFIG_DIR");
        QCOMPARE(qx::configDir(prog.path()), prog.path()); // writable program folder
        QCOMPARE(qx::configDir(prog.path() + QStringLiteral("/missing")), xdg.path() + QStringLiteral("/qx"));

        // writing into a config folder that does not exist yet creates it
        const QString nested = xdg.path() + QStringLiteral("/qx/qx.ini");
        QVERIFY(writeQxIni(nested, QxIni{}, true));
        QCOMPARE(readQxIni(nested).typ, 454);
        qunsetenv("XDG_CONFIG_HOME");
    }
};

QTEST_GUILESS_MAIN(TestQxIni)
#include "tst_qxini.moc"
