// qx_db.ini: defaults, reading, writing beside other keys, the folder rule.

#include "ui/QxDbIni.h"

#include <QtTest>

using namespace qx;

class TstZapQxDbIni : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void writeKeepsOtherKeys();
    void writeFailureReported();
    void folderRule();
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

QTEST_APPLESS_MAIN(TstZapQxDbIni)
#include "tst_zap_qxdbini.moc"
