// The journal of received entries: what a file left by a crash gives back, what appending and
// saving leave in the file, and a folder that cannot be written (told once, receiving goes on).

#include "measurement/ZaznamPrijatych.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace qx;

namespace {

QByteArray obsah(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<chybí>");
}

void zapis(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(data), data.size());
}

QDateTime cas(const char* iso) {
    return QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODateWithMs);
}

// "id|time|text" per entry, for readable comparisons.
QStringList popis(const QList<PrijatyCas>& casy) {
    QStringList out;
    for (const PrijatyCas& c : casy)
        out << QString::number(c.id) + u'|' + c.prijato.toString(Qt::ISODateWithMs) + u'|' + c.text;
    return out;
}

// A clock that moves by one second per reading, from 9:00:00.
std::function<QDateTime()> hodiny() {
    auto t = std::make_shared<QDateTime>(cas("2026-06-14T09:00:00.000"));
    return [t] {
        const QDateTime now = *t;
        *t = t->addSecs(1);
        return now;
    };
}

} // namespace

class TstZapPrijate : public QObject {
    Q_OBJECT
private slots:
    void nacteni_data();
    void nacteni();
    void pridaniAOdebrani();
    void cislaSeNeopakuji();
    void nezapisovatelnaSlozka();
};

// A file as a crash may leave it: the entries not yet saved, and the file as it is afterwards
// (rewritten when it held saved entries or a torn line).
void TstZapPrijate::nacteni_data() {
    QTest::addColumn<QByteArray>("soubor");
    QTest::addColumn<QStringList>("cekajici");
    QTest::addColumn<QByteArray>("potom");

    const QByteArray a = "2026-06-14T09:05:07.311 #1 přijato: 17,532L 18,014\n";
    const QByteArray b = "2026-06-14T09:06:01.000 #2 přijato: 1 18,23\n";
    const QByteArray c = "2026-06-15T10:00:00.500 #3 přijato: 19,07\n";
    const QStringList A{QStringLiteral("1|2026-06-14T09:05:07.311|17,532L 18,014")};
    const QStringList B{QStringLiteral("2|2026-06-14T09:06:01.000|1 18,23")};
    const QStringList C{QStringLiteral("3|2026-06-15T10:00:00.500|19,07")};

    QTest::newRow("no file") << QByteArray() << QStringList{} << QByteArray("<chybí>");
    QTest::newRow("entries of several days, kept as they are") << a + b + c << A + B + C << a + b + c;
    QTest::newRow("a saved entry leaves, the file is rewritten")
        << a + b + "2026-06-14T09:07:00.000 #1 uloženo\n" + c << B + C << b + c;
    QTest::newRow("all saved: an empty file") << a + "2026-06-14T09:07:00.000 #1 uloženo\n"
                                              << QStringList{} << QByteArray();
    QTest::newRow("a torn last line is skipped")
        << a + b + "2026-06-15T10:00:00.500 #3 přijato: 19,0" << A + B << a + b;
    QTest::newRow("a torn removal keeps its entry")
        << a + b + "2026-06-14T09:07:00.000 #1 ulož" << A + B << a + b;
    QTest::newRow("a line that is no entry is dropped") << a + "nějaký text\n" + b << A + B << a + b;
    QTest::newRow("a removal of an unknown number changes nothing")
        << a + "2026-06-14T09:07:00.000 #9 uloženo\n"
        << A << a;
}

void TstZapPrijate::nacteni() {
    QFETCH(QByteArray, soubor);
    QFETCH(QStringList, cekajici);
    QFETCH(QByteArray, potom);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ZaznamPrijatych z(dir.path());
    if (!soubor.isEmpty()) zapis(z.cesta(), soubor);
    QCOMPARE(popis(z.nacti()), cekajici);
    QCOMPARE(popis(z.cekajici()), cekajici);
    QCOMPARE(obsah(z.cesta()), potom);
    QVERIFY(!z.selhava());
}

// Each entry is in the file when pridej returns (no close, no destructor: the state a SIGKILL
// leaves), a save takes exactly its entry, also one of two equal texts.
void TstZapPrijate::pridaniAOdebrani() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto z = std::make_unique<ZaznamPrijatych>(dir.path() + QStringLiteral("/nova/slozka"));
    z->now = hodiny();
    QVERIFY(z->nacti().isEmpty());

    const PrijatyCas p1 = z->pridej(QStringLiteral("17,53L 18,01"));
    QCOMPARE(obsah(z->cesta()), QByteArray("2026-06-14T09:00:00.000 #1 přijato: 17,53L 18,01\n"));
    const PrijatyCas p2 = z->pridej(QStringLiteral("1 18,23"));
    const PrijatyCas p3 = z->pridej(QStringLiteral("1 18,23"));
    QCOMPARE(p3.prijato, cas("2026-06-14T09:00:02.000"));
    QCOMPARE(QList<qint64>({p1.id, p2.id, p3.id}), QList<qint64>({1, 2, 3}));

    z->odeber(p2.id);
    QCOMPARE(obsah(z->cesta()), QByteArray("2026-06-14T09:00:00.000 #1 přijato: 17,53L 18,01\n"
                                           "2026-06-14T09:00:01.000 #2 přijato: 1 18,23\n"
                                           "2026-06-14T09:00:02.000 #3 přijato: 1 18,23\n"
                                           "2026-06-14T09:00:03.000 #2 uloženo\n"));
    QCOMPARE(z->cekajici(), (QList<PrijatyCas>{p1, p3}));

    ZaznamPrijatych poPadu(z->cesta().section(u'/', 0, -2));
    QCOMPARE(poPadu.nacti(), (QList<PrijatyCas>{p1, p3}));

    // The last entry saved: nothing is left in the file.
    poPadu.odeber(p1.id);
    poPadu.odeber(p3.id);
    QCOMPARE(obsah(poPadu.cesta()), QByteArray());
    QVERIFY(!poPadu.selhava());
}

// A number is never given twice, not even after its entry was saved and the file rewritten: a
// save recorded for an old entry must not take a new one.
void TstZapPrijate::cislaSeNeopakuji() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ZaznamPrijatych z(dir.path());
    zapis(z.cesta(), "2026-06-14T09:05:07.311 #4 přijato: 12,00\n"
                     "2026-06-14T09:05:08.311 #7 přijato: 13,00\n"
                     "2026-06-14T09:05:09.000 #7 uloženo\n");
    QCOMPARE(z.nacti().size(), 1);
    QCOMPARE(z.pridej(QStringLiteral("14,00")).id, 8);
    ZaznamPrijatych znovu(dir.path());
    QCOMPARE(popis(znovu.nacti()).size(), 2);
    QCOMPARE(znovu.pridej(QStringLiteral("15,00")).id, 9);
}

// The folder cannot be made (a file of that name is in the way): the failure is told once, in
// Czech, the entries stay in memory; once the folder can be written, the next entry writes the
// file whole, the entries of the outage included, and a new failure is told again.
void TstZapPrijate::nezapisovatelnaSlozka() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString slozka = dir.filePath(QStringLiteral("qx"));
    zapis(slozka, "v cestě");

    ZaznamPrijatych z(slozka);
    z.now = hodiny();
    QStringList chyby;
    z.onError = [&chyby](const QString& e) { chyby << e; };
    QVERIFY(z.nacti().isEmpty());
    z.pridej(QStringLiteral("17,53L 18,01"));
    z.pridej(QStringLiteral("16,20P 17,00"));
    z.odeber(1);
    z.pridej(QStringLiteral("1 18,23"));
    QCOMPARE(chyby, QStringList{QStringLiteral("Složku „%1“ nelze vytvořit.").arg(slozka)});
    QVERIFY(z.selhava());
    QCOMPARE(z.chyba(), chyby.constFirst());
    QCOMPARE(popis(z.cekajici()), (QStringList{QStringLiteral("2|2026-06-14T09:00:01.000|16,20P 17,00"),
                                               QStringLiteral("3|2026-06-14T09:00:02.000|1 18,23")}));

    QVERIFY(QFile::remove(slozka));
    z.pridej(QStringLiteral("2 19,07"));
    QVERIFY(!z.selhava());
    QCOMPARE(obsah(z.cesta()), QByteArray("2026-06-14T09:00:01.000 #2 přijato: 16,20P 17,00\n"
                                          "2026-06-14T09:00:02.000 #3 přijato: 1 18,23\n"
                                          "2026-06-14T09:00:03.000 #4 přijato: 2 19,07\n"));
    QCOMPARE(chyby.size(), 1);

    QVERIFY(QDir(slozka).removeRecursively());
    zapis(slozka, "zase v cestě");
    z.odeber(3);
    z.pridej(QStringLiteral("3 20,00"));
    QCOMPARE(chyby.size(), 2);
    QCOMPARE(z.cekajici().size(), 3);
}

QTEST_GUILESS_MAIN(TstZapPrijate)
#include "tst_zap_prijate.moc"
