// qx_db.ini: defaults, reading, writing beside other keys, the folder rule.

#include "ui/QxDbIni.h"

#include <QtTest>

#include <unistd.h>

using namespace qx;

class TstZapQxDbIni : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void writeKeepsOtherKeys();
    void writeFailureReported();
    void unreadableFileLeftAlone_data();
    void unreadableFileLeftAlone();
    void encodingKept_data();
    void encodingKept();
    void folderRule();
    void databazeRead_data();
    void databazeRead();
    void databazeWriteOwnerOnly();
};

void TstZapQxDbIni::read_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("poradatel");
    QTest::addColumn<int>("mezicas");
    QTest::addColumn<QString>("m1");
    QTest::addColumn<QString>("m4");
    QTest::newRow("no file") << QByteArray() << QString() << 1 << u"Koš"_qs << u"Tla."_qs;
    QTest::newRow("all keys, UTF-8")
        << QByteArray(
               "[Poradatel]\nP1=SDH Žďár\n[Mezicas]\nM1=0\n[Oznac_mezi]\nM1=Koš 2\nM2=V\nM3=X\nM4=Tlačítko\n")
        << u"SDH Žďár"_qs << 0 << u"Koš 2"_qs << u"Tlačítko"_qs;
    QTest::newRow("Mezicas not a number")
        << QByteArray("[Mezicas]\nM1=ano\n") << QString() << 1 << u"Koš"_qs << u"Tla."_qs;
    QTest::newRow("Mezicas out of range kept")
        << QByteArray("[Mezicas]\nM1=5\n") << QString() << 5 << u"Koš"_qs << u"Tla."_qs;
    QTest::newRow("Windows-1250 file") << QByteArray("[Poradatel]\nP1=Hasi\xe8i\n[Oznac_mezi]\nM1=Ko\x9a\n")
                                       << u"Hasiči"_qs << 1 << u"Koš"_qs << u"Tla."_qs;
}

void TstZapQxDbIni::read() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"qx_db.ini"_qs);
    if (!content.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const QxDbIni v = readQxDbIni(path);
    QTEST(v.poradatel, "poradatel");
    QTEST(v.mezicas, "mezicas");
    QTEST(v.m1, "m1");
    QTEST(v.m4, "m4");
}

void TstZapQxDbIni::writeKeepsOtherKeys() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sub/qx_db.ini"_qs);
    QxDbIni v;
    v.poradatel = u" SDH \"Horní\" Ves "_qs;
    v.mezicas = 0;
    v.m2 = u"Voda ě"_qs;
    QVERIFY(writeQxDbIni(path, v)); // creates the folder too
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::Append));
        f.write("[Jine]\nKlic=hodnota\n");
    }
    v.m3 = u"Výš"_qs;
    QVERIFY(writeQxDbIni(path, v));
    const QxDbIni back = readQxDbIni(path);
    QCOMPARE(back.poradatel, v.poradatel);
    QCOMPARE(back.mezicas, 0);
    QCOMPARE(back.m1, u"Koš"_qs);
    QCOMPARE(back.m2, u"Voda ě"_qs);
    QCOMPARE(back.m3, u"Výš"_qs);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY(text.contains("[Jine]"));
    QVERIFY(text.contains("Klic=hodnota"));
}

void TstZapQxDbIni::writeFailureReported() {
    QTemporaryDir dir;
    QFile blocker(dir.filePath(u"soubor"_qs));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    // A folder that cannot exist: its parent is a file.
    QVERIFY(!writeQxDbIni(dir.filePath(u"soubor/qx_db.ini"_qs), QxDbIni{}, &error));
    QVERIFY(!error.isEmpty());
}

void TstZapQxDbIni::unreadableFileLeftAlone_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("noRights");
    const QByteArray text = "; ruční poznámka\r\n[Poradatel]\r\nP1=SDH Lhota\r\n[Jine]\r\nKlic=hodnota\r\n";
    QTest::newRow("no right to read it") << text << true;
    QStringEncoder utf16(QStringEncoder::Utf16LE);
    QTest::newRow("UTF-16 without a byte-order mark")
        << QByteArray(utf16.encode(QString::fromUtf8(text))) << false;
    QTest::newRow("not a text") << QByteArray("\x00\x01\x02\x03[Poradatel]\nP1=x\n", 19) << false;
}

// A file that is there but cannot be read gives the defaults with a message, and is never written
// over: its comments, other sections and values stay.
void TstZapQxDbIni::unreadableFileLeftAlone() {
    QFETCH(QByteArray, content);
    QFETCH(bool, noRights);
    if (noRights && ::geteuid() == 0) QSKIP("root reads a file without read rights");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"qx_db.ini"_qs);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    if (noRights) QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    QString error;
    const QxDbIni v = readQxDbIni(path, &error);
    QCOMPARE(v.poradatel, QString());
    QCOMPARE(v.m1, u"Koš"_qs);
    QVERIFY2(error.startsWith(u"Soubor nastavení „%1“ nelze přečíst: "_qs.arg(path)), qPrintable(error));
    QVERIFY2(error.contains(u"výchozí hodnoty"_qs), qPrintable(error));

    QxDbIni changed;
    changed.poradatel = u"Nový"_qs;
    QString writeError;
    QVERIFY(!writeQxDbIni(path, changed, &writeError));
    QVERIFY2(writeError.contains(u"nelze přečíst"_qs) && writeError.contains(u"zůstává, jak byl"_qs),
             qPrintable(writeError));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), content);
}

void TstZapQxDbIni::encodingKept_data() {
    QTest::addColumn<int>("encoding");
    QTest::newRow("UTF-16 little-endian, as Notepad saves Unicode") << int(QStringConverter::Utf16LE);
    QTest::newRow("UTF-16 big-endian") << int(QStringConverter::Utf16BE);
    QTest::newRow("UTF-8 with a byte-order mark") << int(QStringConverter::Utf8);
}

// A file with a byte-order mark is read in its encoding and written back in it, with its comments
// and other sections.
void TstZapQxDbIni::encodingKept() {
    QFETCH(int, encoding);
    const auto enc = QStringConverter::Encoding(encoding);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"qx_db.ini"_qs);
    const QString text = u"; ruční poznámka\r\n[Jine]\r\nKlic=hodnota\r\n[Poradatel]\r\nP1=SDH Žďár\r\n"
                         "[Oznac_mezi]\r\nM2=Přestřik\r\n"_qs;
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QStringEncoder encoder(enc, QStringConverter::Flag::WriteBom);
        f.write(encoder.encode(text));
    }
    QString error;
    QxDbIni v = readQxDbIni(path, &error);
    QCOMPARE(error, QString());
    QCOMPARE(v.poradatel, u"SDH Žďár"_qs);
    QCOMPARE(v.m2, u"Přestřik"_qs);
    QCOMPARE(v.m1, u"Koš"_qs);

    v.m3 = u"Výš"_qs;
    QVERIFY(writeQxDbIni(path, v, &error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray raw = f.readAll();
    QStringDecoder decoder(enc,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    const QString back = decoder.decode(raw);
    QVERIFY(!decoder.hasError());
    QCOMPARE(back.front(), QChar(0xFEFF)); // the byte-order mark is kept
    for (const QString& line :
         {u"; ruční poznámka"_qs, u"Klic=hodnota"_qs, u"P1=SDH Žďár"_qs, u"M2=Přestřik"_qs, u"M3=Výš"_qs})
        QVERIFY2(back.contains(line), qPrintable(line));
    QCOMPARE(readQxDbIni(path).m3, u"Výš"_qs);
}

void TstZapQxDbIni::folderRule() {
    // qx_db.ini lives in the settings folder both programs share.
    const QByteArray saved = qgetenv("QX_CONFIG_DIR");
    qputenv("QX_CONFIG_DIR", "/tmp/qx-config-test/");
    QCOMPARE(qxDbIniPath(), u"/tmp/qx-config-test/qx_db.ini"_qs);
    if (saved.isEmpty())
        qunsetenv("QX_CONFIG_DIR");
    else
        qputenv("QX_CONFIG_DIR", saved);
}

// [Databaze]: where and as whom the program connects.
void TstZapQxDbIni::databazeRead_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected"); // host|port|user|password|database|socket
    QTest::newRow("no file: today's connection") << QByteArray() << u"localhost|0|root||myqx|"_qs;
    QTest::newRow("other sections only")
        << QByteArray("[Poradatel]\nP1=SDH\n[Web]\nPort=8080\n") << u"localhost|0|root||myqx|"_qs;
    QTest::newRow("every key")
        << QByteArray("[Databaze]\nServer=192.168.1.20\nPort=3307\nUzivatel=qx\nHeslo= heslo s mezerou \n"
                      "Databaze=souteze\nSoket=/run/my.sock\n")
        << u"192.168.1.20|3307|qx|heslo s mezerou|souteze|/run/my.sock"_qs;
    QTest::newRow("quoted password keeps its blanks")
        << QByteArray("[Databaze]\nHeslo=\" ž1 \"\n") << u"localhost|0|root| ž1 |myqx|"_qs;
    QTest::newRow("empty values keep the defaults")
        << QByteArray("[Databaze]\nServer=\nUzivatel=\nDatabaze=\nPort=\n") << u"localhost|0|root||myqx|"_qs;
    QTest::newRow("bad port") << QByteArray("[Databaze]\nServer=db\nPort=99999\n") << u"db|0|root||myqx|"_qs;
}

void TstZapQxDbIni::databazeRead() {
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"qx_db.ini"_qs);
    if (!content.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    const ConnectionSettings s = readDatabazeIni(path);
    const QString got = QStringList{QString::fromUtf8(s.host),     QString::number(s.port),
                                    QString::fromUtf8(s.user),     QString::fromUtf8(s.password),
                                    QString::fromUtf8(s.database), QString::fromUtf8(s.unixSocket)}
                            .join(u'|');
    QTEST(got, "expected");
}

// The section is written beside the others, read back the same, and the file (which holds the
// password) is readable by its owner only, also when it was readable by all before.
void TstZapQxDbIni::databazeWriteOwnerOnly() {
    QTemporaryDir dir;
    for (const bool existed : {false, true}) {
        const QString path = dir.filePath(existed ? u"byl/qx_db.ini"_qs : u"novy/qx_db.ini"_qs);
        if (existed) {
            QVERIFY(writeQxDbIni(path, QxDbIni{u"SDH Lhota"_qs}));
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                    QFile::ReadOther));
        }
        ConnectionSettings s;
        s.host = "192.168.1.20";
        s.port = 3307;
        s.user = "qx";
        s.password = "Heslo ž 7";
        s.database = "souteze";
        QString error;
        QVERIFY2(writeDatabazeIni(path, s, &error), qPrintable(error));
        QCOMPARE(QFile::permissions(path) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        const ConnectionSettings back = readDatabazeIni(path);
        QCOMPARE(back.host, s.host);
        QCOMPARE(back.port, s.port);
        QCOMPARE(back.user, s.user);
        QCOMPARE(back.password, s.password);
        QCOMPARE(back.database, s.database);
        if (existed) QCOMPARE(readQxDbIni(path).poradatel, u"SDH Lhota"_qs);
    }
}

QTEST_APPLESS_MAIN(TstZapQxDbIni)
#include "tst_zap_qxdbini.moc"
