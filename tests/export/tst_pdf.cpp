// The written "export.pdf" read back with poppler-utils: page count and size, the embedded
// Liberation Serif, the Czech texts and their places on the page (1 unit = 0.75 pt); and the file
// handling: an older file is replaced whole, an unwritable one is left as it was.

#include "export/PdfExport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace qx;

namespace {

constexpr double kPtNaJednotku = 0.75;

struct Slovo {
    double x = 0, y = 0; // xMin, yMin in points
    QString text;
};

QString spust(const QString& program, const QStringList& argumenty) {
    QProcess p;
    p.start(program, argumenty);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The words of every page, as pdftotext -bbox finds them.
QList<QList<Slovo>> slova(const QString& pdf) {
    const QString html =
        spust(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    QList<QList<Slovo>> stranky;
    static const QRegularExpression re(QStringLiteral(
        R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="[0-9.]+" yMax="[0-9.]+">([^<]*)</word>)re"));
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0) == QLatin1String("<page ")) {
            stranky.append(QList<Slovo>());
        } else if (!stranky.isEmpty()) {
            stranky.last().append({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3)});
        }
    }
    return stranky;
}

// Every word of the first page with its box in layout units.
QList<std::pair<QString, QRectF>> ramecky(const QString& pdf) {
    const QString html = spust(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-l"),
                                                             QStringLiteral("1"), pdf, QStringLiteral("-")});
    static const QRegularExpression re(QStringLiteral(
        R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re"));
    QList<std::pair<QString, QRectF>> out;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const auto u = [&](int i) { return m.captured(i).toDouble() / kPtNaJednotku; };
        out.append({m.captured(5), QRectF(QPointF(u(1), u(2)), QPointF(u(3), u(4)))});
    }
    return out;
}

DruzstvoRadek druzstvo(int i) {
    static const QString nazvy[] = {QStringLiteral("Žďár nad Sázavou"), QStringLiteral("Řečany nad Labem"),
                                    QStringLiteral("Dolní Újezd"), QStringLiteral("Ústí nad Orlicí")};
    DruzstvoRadek r;
    r.poradi = QString::number(i);
    r.nazev_dr = nazvy[i % 4];
    r.tym = QStringLiteral("A");
    r.kategorie = QStringLiteral("muži");
    r.M1 = QStringLiteral("5,129");
    r.cas1R = QStringLiteral("15,3L");
    r.cas1C = QStringLiteral("18,01");
    r.celkem = QStringLiteral("018,01");
    r.pozice = QString::number(i) + u'.';
    return r;
}

// Results of an attack in the first phase with the split columns, all categories: a band 670
// wide from x 55.
ExportVstup vysledky(int radku) {
    ExportVstup v;
    v.pohled = Pohled::Mereni;
    v.kontext.nast = 10;
    v.kontext.mezicasy = true;
    v.kontext.poradatel = QStringLiteral("OSH-Trutnov");
    v.soutez =
        SoutezHlavicka{QStringLiteral("Memoriál Jana Nováka"), QStringLiteral("12.05.2024"),
                       QStringLiteral("9:00"), QStringLiteral("Horní Maršov"), QStringLiteral("Trutnov")};
    for (int i = 1; i <= radku; ++i)
        v.radky.append(druzstvo(i));
    return v;
}

QByteArray obsah(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool zapis(const QString& path, const QByteArray& data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// As root a read-only folder is still writable: the export then runs under the user "nobody".
class BezPravRoota {
public:
    BezPravRoota() : m_root(::geteuid() == 0) {
        if (m_root) m_ok = ::setegid(65534) == 0 && ::seteuid(65534) == 0;
    }
    ~BezPravRoota() {
        if (m_root) {
            (void)::seteuid(0);
            (void)::setegid(0);
        }
    }
    bool ok() const { return m_ok; }

private:
    bool m_root;
    bool m_ok = true;
};

} // namespace

class TstPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cteniZpet();
    void nahradiStarySoubor();
    void nelzeZapsat_data();
    void nelzeZapsat();
    void qrKod_data();
    void qrKod();
};

void TstPdf::initTestCase() {
    for (const char* nastroj : {"pdfinfo", "pdffonts", "pdftotext"})
        QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(nastroj)).isEmpty(),
                 qPrintable(QStringLiteral("%1 chybí (balík poppler-utils)").arg(QLatin1String(nastroj))));
}

void TstPdf::cteniZpet() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("export.pdf"));
    const ExportVysledek v = exportujPdf(vysledky(46), pdf);
    QVERIFY2(v.ok, qPrintable(v.chyba));
    QCOMPARE(v.stran, 2);

    const QString info = spust(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.contains(
                 QRegularExpression(QStringLiteral("^Pages:\\s+2$"), QRegularExpression::MultilineOption)),
             qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("^Page size:.*\\(A4\\)$"),
                                              QRegularExpression::MultilineOption)),
             qPrintable(info));

    // Regular and bold faces, both embedded.
    const QString fonty = spust(QStringLiteral("pdffonts"), {pdf});
    for (const QString& font : {QStringLiteral("LiberationSerif"), QStringLiteral("LiberationSerif-Bold")}) {
        const QRegularExpression radek(
            QStringLiteral("^(?:[A-Z]{6}\\+)?%1\\s+.*\\s(yes|no)\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$")
                .arg(QRegularExpression::escape(font)),
            QRegularExpression::MultilineOption);
        const QRegularExpressionMatch m = radek.match(fonty);
        QVERIFY2(m.hasMatch(), qPrintable(fonty));
        QCOMPARE(m.captured(1), QStringLiteral("yes")); // embedded
        QCOMPARE(m.captured(3), QStringLiteral("yes")); // with a Unicode map: searchable text
    }

    const QList<QList<Slovo>> stranky = slova(pdf);
    QCOMPARE(stranky.size(), 2);
    QStringList prvni;
    for (const Slovo& w : stranky[0])
        prvni.append(w.text);
    for (const char* slovo : {"Název", "SDH", "Umístění", "Výsl.", "Žďár", "Sázavou", "Řečany", "Újezd",
                              "Ústí", "Orlicí", "muži", "Memoriál", "Maršov", "Časomíry"})
        QVERIFY2(prvni.contains(QString::fromUtf8(slovo)), slovo);

    // Each word's top left corner in layout units: the first word of every header line, every
    // column title (band 670 wide from x 55, top 115), a row's cells and the footer.
    struct Misto {
        int strana;
        const char* slovo;
        int x, y;
    };
    const Misto mista[] = {
        {0, "Zpracováno", 20, 20},          {0, "OSH-Trutnov", 700 - 6 * 11, 20},
        {0, "Memoriál", 390 - 19 * 10, 50}, {0, "Horní", 390 - 11 * 7, 75},
        {0, "Poř.", 55 + 3, 117},           {0, "Název", 55 + 30 + 5, 117},
        {0, "Tým", 55 + 200 + 5, 117},      {0, "Kat.", 55 + 250 + 5, 117},
        {0, "Koš", 55 + 300 + 5, 117},      {0, "Voda", 55 + 350 + 5, 117},
        {0, "Vys.", 55 + 400 + 5, 117},     {0, "Tla.", 55 + 450 + 5, 117},
        {0, "1.", 55 + 500 + 5, 117},       {0, "Výsl.", 55 + 550 + 5, 117},
        {0, "Umístění", 55 + 610 + 6, 117}, {0, "Řečany", 55 + 30 + 5, 137},
        {0, "5,12", 55 + 300 + 5, 137},     {0, "15,30L", 55 + 500 + 5, 137},
        {0, "18,01", 55 + 550 + 5, 137},    {0, "Časomíry", 20, 1080},
        {0, "svobodný", 660, 1080},         {1, "Zpracováno", 20, 20},
        {1, "Umístění", 55 + 610 + 6, 117}, {1, "46.", 55 + 3, 137},
        {1, "Dolní", 55 + 30 + 5, 137},
    };
    for (const Misto& m : mista) {
        const QString hledane = QString::fromUtf8(m.slovo);
        const QList<Slovo>& s = stranky[m.strana];
        const auto it = std::find_if(s.begin(), s.end(), [&](const Slovo& w) {
            return w.text == hledane && std::abs(w.y - m.y * kPtNaJednotku) <= 1.0;
        });
        QVERIFY2(
            it != s.end(),
            qPrintable(
                QStringLiteral("strana %1: „%2“ chybí na y %3").arg(m.strana + 1).arg(hledane).arg(m.y)));
        QVERIFY2(std::abs(it->x - m.x * kPtNaJednotku) <= 1.0,
                 qPrintable(QStringLiteral("„%1“ na x %2 pt, čekáno %3 pt")
                                .arg(hledane)
                                .arg(it->x)
                                .arg(m.x * kPtNaJednotku)));
    }
}

// Exporting again replaces the older file, through no temporary file that stays behind.
void TstPdf::nahradiStarySoubor() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("export.pdf"));
    QVERIFY(zapis(pdf, QByteArrayLiteral("starý soubor")));

    QVERIFY(exportujPdf(vysledky(46), pdf).ok);
    QVERIFY(obsah(pdf).startsWith("%PDF-"));
    QVERIFY(spust(QStringLiteral("pdfinfo"), {pdf})
                .contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));

    const ExportVysledek v = exportujPdf(vysledky(1), pdf);
    QVERIFY2(v.ok, qPrintable(v.chyba));
    QCOMPARE(v.stran, 1);
    QVERIFY(spust(QStringLiteral("pdfinfo"), {pdf})
                .contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("export.pdf")});
}

// A file that cannot be written: the error names the file and the reason; an older file stays
// as it was.
void TstPdf::nelzeZapsat_data() {
    QTest::addColumn<bool>("slozkaExistuje");
    QTest::addColumn<int>("chyba");
    QTest::newRow("složka jen pro čtení") << true << EACCES;
    QTest::newRow("složka neexistuje") << false << ENOENT;
}

void TstPdf::nelzeZapsat() {
    QFETCH(bool, slozkaExistuje);
    QFETCH(int, chyba);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString slozka = dir.filePath(QStringLiteral("výsledky"));
    const QString pdf = slozka + QStringLiteral("/export.pdf");
    const QByteArray stary = QByteArrayLiteral("%PDF- starší export");
    if (slozkaExistuje) {
        QVERIFY(QDir().mkdir(slozka));
        QVERIFY(zapis(pdf, stary));
        QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        QCOMPARE(::chmod(QFile::encodeName(slozka).constData(), 0555), 0);
    }

    ExportVysledek v;
    if (slozkaExistuje) {
        BezPravRoota bezRoota;
        QVERIFY(bezRoota.ok());
        v = exportujPdf(vysledky(3), pdf);
    } else {
        v = exportujPdf(vysledky(3), pdf);
    }
    if (slozkaExistuje) QCOMPARE(::chmod(QFile::encodeName(slozka).constData(), 0755), 0);

    QVERIFY(!v.ok);
    QVERIFY2(v.chyba.contains(pdf), qPrintable(v.chyba));
    QVERIFY2(v.chyba.contains(QString::fromLocal8Bit(std::strerror(chyba))), qPrintable(v.chyba));
    if (slozkaExistuje) {
        QCOMPARE(obsah(pdf), stary);
        QCOMPARE(QDir(slozka).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("export.pdf")});
    }
}

void TstPdf::qrKod_data() {
    QTest::addColumn<QString>("nazev");
    QTest::newRow("u konce pořadatele") << QStringLiteral("Memoriál Jana Nováka");
    QTest::newRow("posunutý doprava") << QStringLiteral("Memoriál Jana Nováka a Josefa Dvořáka st.");
}

// The QR code as printed: rendered at 96 dpi (one pixel a unit), every module's centre dark or
// light as the matrix says, and no word of the page reaching into the code or close to it.
void TstPdf::qrKod() {
    QFETCH(QString, nazev);
    QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty(),
             "pdftoppm chybí (balík poppler-utils)");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("export.pdf"));
    ExportVstup v = vysledky(3);
    v.soutez->nazev = nazev;
    const int strana = 29;
    for (int y = 0; y < strana; ++y) {
        QList<bool> radek;
        for (int x = 0; x < strana; ++x)
            radek.append(x == 0 || y == 0 || x == strana - 1 || y == strana - 1 ||
                         (x * 5 + y * y * 3 + x * y) % 7 < 3);
        v.qr.append(radek);
    }
    QVERIFY(exportujPdf(v, pdf).ok);

    // The edge of the matrix is dark: the fills span the whole code.
    QRect kod;
    const QList<Stranka> stranky = rozvrhni(v); // kept: the loop walks its first page
    for (const Kresba& k : stranky[0])
        if (k.druh == Kresba::Druh::Vypln) kod |= QRect(QPoint(k.x, k.y), QPoint(k.x2 - 1, k.y2 - 1));
    QVERIFY(!kod.isEmpty());
    const QRectF okoli = QRectF(kod).adjusted(-rozvrh::kQrTiche / 2, -rozvrh::kQrTiche / 2,
                                              rozvrh::kQrTiche / 2, rozvrh::kQrTiche / 2);
    const QList<std::pair<QString, QRectF>> slova = ramecky(pdf);
    QVERIFY(slova.size() > 20);
    for (const auto& [text, ramecek] : slova)
        QVERIFY2(!ramecek.intersects(okoli), qPrintable(text));

    const QString obraz = dir.filePath(QStringLiteral("strana"));
    spust(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-f"),
                                       QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                       QStringLiteral("-gray"), QStringLiteral("-singlefile"), pdf, obraz});
    const QImage img(obraz + QStringLiteral(".pgm"));
    QVERIFY(!img.isNull());
    for (int y = 0; y < strana; ++y)
        for (int x = 0; x < strana; ++x) {
            const int sed =
                qGray(img.pixel(kod.left() + x * rozvrh::kQrModul + 1, kod.top() + y * rozvrh::kQrModul + 1));
            QVERIFY2((sed < 100) == v.qr[y][x],
                     qPrintable(QStringLiteral("modul %1,%2: %3").arg(x).arg(y).arg(sed)));
        }
}

QTEST_MAIN(TstPdf)
#include "tst_pdf.moc"
