// The window's side of the results server and of the spreadsheet export, against the real
// database: the switch below the settings panel (on serves the port and shows the address, off
// stops it, the choice kept in qx_db.ini [Web] beside the other keys and taken up at start), the
// QR code on the printed list while serving, and the context menu of "pdf" writing the XLSX and
// CSV files. The server listens on loopback only.

#include "TestDb.h"
#include "ZapFixture.h"
#include "data/Tdm_QX.h"
#include "measurement/PanelMereni.h"
#include "messages/Messages.h"
#include "ui/QxDbIni.h"
#include "ui/TfrmQX.h"
#include "web/PanelWeb.h"

#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace qx;
using namespace zapfix;

namespace {

QStringList g_boxes;
QStringList g_opened;

// A port free on loopback right now.
quint16 volnyPort() {
    QTcpServer s;
    if (!s.listen(QHostAddress::LocalHost, 0)) return 0;
    return s.serverPort();
}

struct Odpoved {
    int status = 0; // 0: no connection or no answer
    QString telo;
};

// GET of a path on loopback; the server closes the connection after the answer.
Odpoved get(quint16 port, const QByteArray& cesta) {
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    if (!s.waitForConnected(3000)) return {};
    s.write("GET " + cesta + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray data;
    while (s.waitForReadyRead(3000) || s.bytesAvailable() > 0) {
        data += s.readAll();
        const qsizetype konec = data.indexOf("\r\n\r\n");
        const qsizetype cl = data.toLower().indexOf("content-length:");
        if (konec > 0 && cl > 0 && cl < konec) {
            const qint64 delka = data.mid(cl + 15, data.indexOf("\r\n", cl) - cl - 15).trimmed().toLongLong();
            if (data.size() - konec - 4 >= delka) break;
        }
    }
    if (!data.startsWith("HTTP/1.1 ")) return {};
    return {data.mid(9, 3).toInt(), QString::fromUtf8(data.mid(data.indexOf("\r\n\r\n") + 4))};
}

QByteArray soubor(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Dark pixels of the printed page's top right corner (where the QR code goes), at 96 dpi.
int tmaveVpravoNahore(const QString& pdf, const QString& slozka) {
    const QString obraz = slozka + QStringLiteral("/strana");
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-f"),
                                         QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                         QStringLiteral("-gray"), QStringLiteral("-singlefile"), pdf, obraz});
    if (!p.waitForFinished(30000)) return -1;
    const QImage img(obraz + QStringLiteral(".pgm"));
    if (img.isNull()) return -1;
    int n = 0;
    for (int y = 36; y < 110; ++y)
        for (int x = 600; x < 780; ++x)
            n += qGray(img.pixel(x, y)) < 100;
    return n;
}

} // namespace

class TstZapWeb : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void prepinac();
    void zapnutoPriStartu();
    void obsazenyPort();
    void qrNaTisku();
    void exportMenu_data();
    void exportMenu();
    void hlasatelPoUlozeni();

private:
    std::unique_ptr<TfrmQX> otevri(bool soutez);
    QString ini() const { return dir_.filePath(QStringLiteral("qx_db.ini")); }

    std::unique_ptr<TestDb> db_;
    std::unique_ptr<Tdm_QX> dm_;
    QTemporaryDir dir_;
};

// Other keys of qx_db.ini, which the switch must leave as they are.
static const QByteArray kJineKlice = "[Poradatel]\nP1=SDH Chýnov\n\n[Vlastni]\nklic=hodnota\n";

void TstZapWeb::initTestCase() {
    QString why;
    if (TestDb::shouldSkip(&why)) QSKIP(qPrintable(why));
    QVERIFY(dir_.isValid());
    qputenv("QX_CONFIG_DIR", dir_.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", dir_.path().toUtf8());
    QVERIFY(QDir::setCurrent(dir_.path()));
    TfrmQX::messageBoxSeam = [](QMessageBox& box) { g_boxes.append(box.text()); };
    TfrmQX::openPdfSeam = [](const QString& path) { g_opened.append(path); };
    TfrmQX::webNaslouchani = QHostAddress(QHostAddress::LocalHost);
    db_ = std::make_unique<TestDb>("web");
    db_->exec("INSERT INTO soutezeqx (nazev_souteze, nazev_okresu, nazev_obce, datum) VALUES "
              "('Memoriál Jana Šťastného', 'Tábor', 'Chýnov', '20250614')");
    const QByteArray id = db_->value("SELECT id FROM soutezeqx");
    db_->exec("INSERT INTO druzstvaqx (id_soutez, poradi, nazev_dr, tym, kategorie, cas1R, cas1C) VALUES (" +
              id + ", '1', 'Chýnov', 'A', 'Muži', '', ''), (" + id +
              ", '2', 'Dírná', '', 'Muži', '16,50L', '17,00'), (" + id + ", '3', 'Žár', '', 'Ženy', '', '')");
}

void TstZapWeb::init() {
    g_boxes.clear();
    g_opened.clear();
    QFile f(ini());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(kJineKlice);
    f.close();
    dm_ = std::make_unique<Tdm_QX>();
}

void TstZapWeb::cleanupTestCase() {
    dm_.reset();
    db_.reset();
}

std::unique_ptr<TfrmQX> TstZapWeb::otevri(bool soutez) {
    auto frm = std::make_unique<TfrmQX>(*dm_);
    frm->show();
    if (soutez) {
        auto* souteze = frm->findChild<StringGrid*>(QStringLiteral("SG_souteze"));
        if (souteze) doubleClickRow(souteze, 1);
    }
    return frm;
}

void TstZapWeb::prepinac() {
    auto frm = otevri(true);
    frm->SB_nast->click();
    PanelWeb* w = frm->pnl_web;
    QVERIFY(w->isVisible());
    QVERIFY(!w->server().bezi());
    QVERIFY(!w->CB_web->isChecked());
    const quint16 port = volnyPort();
    QVERIFY(port > 0);
    w->edt_web_port->setValue(port);

    w->CB_web->click();
    QVERIFY(w->server().bezi());
    QCOMPARE(w->server().port(), port);
    QVERIFY(w->CB_web->isChecked());
    QVERIFY2(w->lbl_web_adresa->text().contains(QStringLiteral(":%1/").arg(port)),
             qPrintable(w->lbl_web_adresa->text()));
    QVERIFY(!w->lbl_web_qr->pixmap().isNull());
    QVERIFY(!w->edt_web_port->isEnabled()); // the port is fixed while serving
    // The page of the chosen competition is served.
    QTRY_VERIFY(get(port, "/").telo.contains(QStringLiteral("Memoriál Jana Šťastného")));
    const Odpoved o = get(port, "/startovka");
    QCOMPARE(o.status, 200);
    QVERIFY(o.telo.contains(QStringLiteral("Žár")));
    // Remembered, the other keys as they were.
    WebIni v = readWebIni(ini());
    QVERIFY(v.zapnuto);
    QCOMPARE(v.port, int(port));
    QByteArray text = soubor(ini());
    QVERIFY2(text.contains("P1=SDH Chýnov") && text.contains("[Vlastni]") && text.contains("klic=hodnota"),
             text.constData());
    QCOMPARE(readQxDbIni(ini()).poradatel, QStringLiteral("SDH Chýnov"));

    w->CB_web->click();
    QVERIFY(!w->server().bezi());
    QVERIFY(w->lbl_web_adresa->text().startsWith(QStringLiteral("Vypnuto")));
    QVERIFY(w->lbl_web_qr->pixmap().isNull());
    QCOMPARE(get(port, "/").status, 0); // nothing listens
    v = readWebIni(ini());
    QVERIFY(!v.zapnuto);
    QCOMPARE(v.port, int(port));
    text = soubor(ini());
    QVERIFY(text.contains("P1=SDH Chýnov") && text.contains("klic=hodnota"));
    QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
}

// The switch left on: the next start serves at once on the remembered port.
void TstZapWeb::zapnutoPriStartu() {
    const quint16 port = volnyPort();
    QVERIFY(writeWebIni(ini(), WebIni{true, int(port)}));
    {
        auto frm = otevri(false);
        QVERIFY(frm->pnl_web->server().bezi());
        QCOMPARE(frm->pnl_web->server().port(), port);
        QVERIFY(frm->pnl_web->CB_web->isChecked());
        QCOMPARE(get(port, "/").status, 200);
    }
    // Left off: nothing is served at the next start.
    QVERIFY(writeWebIni(ini(), WebIni{false, int(port)}));
    auto frm = otevri(false);
    QVERIFY(!frm->pnl_web->server().bezi());
    QVERIFY(!frm->pnl_web->CB_web->isChecked());
    QCOMPARE(get(port, "/").status, 0);
    QVERIFY(soubor(ini()).contains("klic=hodnota"));
}

// A port in use: the switch stays off, the reason is shown, and off is what is remembered.
void TstZapWeb::obsazenyPort() {
    QTcpServer obsazeno;
    QVERIFY(obsazeno.listen(QHostAddress::LocalHost, 0));
    auto frm = otevri(false);
    frm->SB_nast->click();
    PanelWeb* w = frm->pnl_web;
    w->edt_web_port->setValue(obsazeno.serverPort());
    w->CB_web->click();
    QVERIFY(!w->server().bezi());
    QVERIFY(!w->CB_web->isChecked());
    QVERIFY2(w->lbl_web_adresa->text().contains(QString::number(obsazeno.serverPort())),
             qPrintable(w->lbl_web_adresa->text()));
    QVERIFY(!readWebIni(ini()).zapnuto);
}

// The printed start list carries the QR code while the server is on, and only then.
void TstZapWeb::qrNaTisku() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) QSKIP("pdftoppm chybí");
    auto frm = otevri(true);
    frm->SB_listina->click();
    const QString pdf = QDir::current().absoluteFilePath(QStringLiteral("export.pdf"));
    frm->SB_export->click();
    QCOMPARE(g_opened, QStringList{pdf});
    QCOMPARE(tmaveVpravoNahore(pdf, dir_.path()), 0);

    frm->SB_nast->click();
    frm->pnl_web->edt_web_port->setValue(volnyPort());
    frm->pnl_web->CB_web->click();
    QVERIFY(frm->pnl_web->server().bezi());
    frm->SB_listina->click();
    frm->SB_export->click();
    QCOMPARE(g_opened.size(), 2);
    QVERIFY(tmaveVpravoNahore(pdf, dir_.path()) > 100);
    QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
}

void TstZapWeb::exportMenu_data() {
    QTest::addColumn<QString>("akce");
    QTest::addColumn<QString>("soubor");
    QTest::addColumn<bool>("mereni"); // the measurement view (results), else the start list
    QTest::addColumn<QStringList>("obsahuje");
    QTest::addColumn<QStringList>("chybi");
    const QString xlsx = QStringLiteral("Export do Excelu (xlsx)");
    const QString csv = QStringLiteral("Export do CSV");
    const QStringList vsichni{QStringLiteral("Chýnov"), QStringLiteral("Dírná"), QStringLiteral("Žár")};
    QTest::newRow("xlsx startovka") << xlsx << QStringLiteral("export.xlsx") << false << vsichni
                                    << QStringList{};
    QTest::newRow("csv startovka") << csv << QStringLiteral("export.csv") << false << vsichni
                                   << QStringList{};
    QTest::newRow("xlsx výsledky") << xlsx << QStringLiteral("export.xlsx") << true
                                   << QStringList{QStringLiteral("Dírná"), QStringLiteral("17")}
                                   << QStringList{QStringLiteral("Žár")};
    QTest::newRow("csv výsledky") << csv << QStringLiteral("export.csv") << true
                                  << QStringList{QStringLiteral("Dírná"), QStringLiteral("17,00")}
                                  << QStringList{QStringLiteral("Žár")};
}

// A right click on "pdf" and one of its two items: the file in the working folder, opened.
void TstZapWeb::exportMenu() {
    QFETCH(QString, akce);
    QFETCH(QString, soubor);
    QFETCH(bool, mereni);
    QFETCH(QStringList, obsahuje);
    QFETCH(QStringList, chybi);
    const QString cesta = QDir::current().absoluteFilePath(soubor);
    QFile::remove(cesta);
    auto frm = otevri(true);
    frm->zpravaOdStopek(AM_Nast, 454, 10); // device 4.54, one attack
    (mereni ? frm->SB_mereni : frm->SB_listina)->click();
    QVERIFY(frm->SB_export->isEnabled());
    QCOMPARE(frm->SB_export->contextMenuPolicy(), Qt::CustomContextMenu);
    emit frm->SB_export->customContextMenuRequested(QPoint(5, 5));
    QMenu* menu = frm->findChild<QMenu*>(QStringLiteral("menu_export"));
    QVERIFY(menu);
    QAction* polozka = nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == akce) polozka = a;
    QVERIFY2(polozka, qPrintable(akce));
    polozka->trigger();
    menu->close();
    QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
    QCOMPARE(g_opened, QStringList{cesta});
    QString text;
    if (soubor.endsWith(QLatin1String(".xlsx"))) {
        QVERIFY(soubor.size() > 0 && ::soubor(cesta).startsWith("PK"));
        QProcess p;
        p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), cesta, QStringLiteral("xl/sharedStrings.xml"),
                                          QStringLiteral("xl/worksheets/sheet1.xml")});
        QVERIFY(p.waitForFinished(30000));
        text = QString::fromUtf8(p.readAllStandardOutput());
    } else {
        const QByteArray data = ::soubor(cesta);
        QVERIFY(data.startsWith("\xEF\xBB\xBF"));
        text = QString::fromUtf8(data);
    }
    for (const QString& t : obsahuje)
        QVERIFY2(text.contains(t), qPrintable(t + u'\n' + text));
    for (const QString& t : chybi)
        QVERIFY2(!text.contains(t), qPrintable(t + u'\n' + text));
}

// The speaker's last results follow the order of saving, with the placings as they are after the
// later saves (runs last: it stores times).
void TstZapWeb::hlasatelPoUlozeni() {
    auto frm = otevri(true);
    frm->zpravaOdStopek(AM_Nast, 454, 10);
    frm->SB_nast->click();
    frm->pnl_web->edt_web_port->setValue(volnyPort());
    frm->pnl_web->CB_web->click();
    QVERIFY(frm->pnl_web->server().bezi());
    frm->SB_mereni->click();
    PanelMereni* p = frm->pnl_mereni;
    const auto uloz = [p](const QString& cas) {
        p->CB_mereni_cas->lineEdit()->clear();
        QTest::keyClicks(p->CB_mereni_cas->lineEdit(), cas);
        p->btn_mereni_ulozit->click();
    };
    const auto posledni = [&] {
        QStringList out;
        for (const SnimekVysledek& r : frm->pnl_web->server().posledni().posledni)
            out << r.pozice + u' ' + r.nazev_dr;
        return out;
    };
    // Dírná (stored before) is not a result saved now.
    QTRY_COMPARE(posledni(), QStringList{});
    p->btn_mereni_next->click(); // Dírná
    uloz(QStringLiteral("15,00L 15,50"));
    QTRY_COMPARE(posledni(), QStringList{QStringLiteral("1. Dírná")});
    p->btn_mereni_prev->click(); // Chýnov, earlier in the start order, saved later and faster
    uloz(QStringLiteral("14,00L 14,50"));
    QTRY_COMPARE(posledni(), (QStringList{QStringLiteral("1. Chýnov"), QStringLiteral("2. Dírná")}));
    QVERIFY2(g_boxes.isEmpty(), qPrintable(g_boxes.join(u'\n')));
}

QTEST_MAIN(TstZapWeb)
#include "tst_zap_web.moc"
