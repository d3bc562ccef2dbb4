#include "TfrmQX.h"

#include "DialogSpojeni.h"
#include "Ovladace.h"
#include "PanelListina.h"
#include "PanelTym.h"
#include "QxDbIni.h"
#include "data/Registers.h"
#include "export/ExportData.h"
#include "export/PdfExport.h"
#include "export/TabulkaSoubor.h"
#include "measurement/Casomira.h"
#include "measurement/Nastaveni.h"
#include "measurement/PanelMereni.h"
#include "measurement/PanelNastaveni.h"
#include "measurement/Vysledky.h"
#include "messages/ActualFile.h"
#include "messages/Messages.h"
#include "web/PanelWeb.h"
#include "web/QrKod.h"
#include "web/Snimek.h"
#include "zaloha/Zaloha.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <cstdio>

using qx::DbError;

namespace {

const QString kUlozit = QStringLiteral("Uložit");
const QString kVlozit = QStringLiteral("Vložit");
const QString kCasomiraNepripojena =
    QStringLiteral("Časomíra není připojena. Disciplínu vyberte na záložce Nastavení!");
const QString kCaption = QStringLiteral("Časomíry QX");
// The date box's lowest date stands for "no date": the box then shows its special text, the
// stored text that is no date, or "bez data".
const QDate kBezData(100, 1, 1);
const QString kBezDataText = QStringLiteral("bez data");

QFont tahoma(int px) {
    // Tahoma is rarely installed on Linux; a sans face of similar width
    // (Liberation Sans, metric-compatible with Arial) keeps the captions in
    // their places better than the wider default face.
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
        return true;
    }();
    Q_UNUSED(substituted);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(px);
    return f;
}

using qx::ovladace::button;
using qx::ovladace::combo;
using qx::ovladace::edit;
using qx::ovladace::label;
using qx::ovladace::make;

QFrame* panel(QWidget* parent, const char* name, int x, int y, int w, int h, bool border = true) {
    auto* p = make<QFrame>(parent, name, x, y, w, h);
    p->setFrameShape(border ? QFrame::StyledPanel : QFrame::NoFrame);
    return p;
}

} // namespace

std::function<void(const QString&)> TfrmQX::openPdfSeam = [](const QString& path) { qx::otevriPdf(path); };
QHostAddress TfrmQX::webNaslouchani = QHostAddress(QHostAddress::AnyIPv4);

std::function<void(QMessageBox&)> TfrmQX::messageBoxSeam = [](QMessageBox& box) { box.exec(); };
std::function<int(QDialog&)> TfrmQX::dialogSeam = [](QDialog& d) { return d.exec(); };

namespace {
const QString kNastavitPripojeni = QStringLiteral("Nastavit připojení…");
const int kVyskaOkna = 419;
const int kVyskaSpojeni = 22;
} // namespace

QString TfrmQX::dbFailureMessage(const qx::ConnectionSettings& settings, const QString& co) {
    QString text =
        QStringLiteral(
            "Program se nemůže připojit k databázi %1 na serveru %2. Zkontrolujte, zda databázový server "
            "běží a zda je v něm vytvořena databáze %1.\n\n"
            "Vlastní databázový server programu spustí příkaz „bash scripts/run.sh“ (spustí i oba "
            "programy a "
            "databázi vytvoří), nebo „bash scripts/mariadb.sh start SLOŽKA“, který vypíše cestu k soketu "
            "pro proměnnou MYSQL_UNIX_PORT.")
            .arg(QString::fromUtf8(settings.database), settings.server());
    if (!co.isEmpty()) text += QStringLiteral("\n\n") + co;
    return text + QStringLiteral("\n\nJiný server, uživatele nebo heslo nastavíte tlačítkem „%1“.")
                      .arg(kNastavitPripojeni);
}

TfrmQX::TfrmQX(qx::Tdm_QX& dm, QWidget* parent) : QMainWindow(parent), dm_(dm) {
    setObjectName(QStringLiteral("TfrmQX"));
    setWindowTitle(kCaption);
    setFont(tahoma(11));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setAutoFillBackground(true);
    client->setBackgroundRole(QPalette::Button);
    setCentralWidget(client);
    setFixedSize(409, 419);

    buildToolBar(client);
    buildSoutez(client);
    buildKat(client);
    buildTym(client);
    buildListina(client);
    buildNast(client);
    buildMereni(client);
    buildCasomira(client);
    buildSpojeni(client);
    connectHandlers();
    const auto konflikt = [this](const QString& ulozeno, const QString& moje) {
        return rozhodniKonflikt(ulozeno, moje);
    };
    pnl_listina->konflikt = konflikt;
    pnl_mereni->konflikt = konflikt;
    zmenyTimer_ = new QTimer(this);
    zmenyTimer_->setInterval(kIntervalZmen);
    connect(zmenyTimer_, &QTimer::timeout, this, &TfrmQX::kontrolaZmen);

    FormCreate();
}

TfrmQX::~TfrmQX() = default;

// ------------------------------------------------------------------ layout

void TfrmQX::buildToolBar(QWidget* client) {
    pnl_ovl = panel(client, "pnl_ovl", 0, 0, 409, 33);
    SB_soutez = button(pnl_ovl, "SB_soutez", QStringLiteral("Soutěže"), 4, 6, 65, 21, true);
    SB_kat = button(pnl_ovl, "SB_kat", QStringLiteral("Kategorie"), 71, 6, 65, 21, true);
    SB_listina = button(pnl_ovl, "SB_listina", QStringLiteral("Listina"), 138, 6, 65, 21, true);
    SB_nast = button(pnl_ovl, "SB_nast", QStringLiteral("Nastavení"), 205, 6, 65, 21, true);
    SB_mereni = button(pnl_ovl, "SB_mereni", QStringLiteral("Měření"), 272, 6, 65, 21, true);
    SB_export = button(pnl_ovl, "SB_export", QStringLiteral("pdf"), 339, 6, 65, 21);
    SB_export->setContextMenuPolicy(Qt::CustomContextMenu);
    SB_export->setToolTip(QStringLiteral("Pravým tlačítkem: export do Excelu (xlsx) nebo CSV"));
    connect(SB_export, &QWidget::customContextMenuRequested, this, &TfrmQX::SB_exportMenu);
    navigace = new QButtonGroup(this);
    navigace->setObjectName(QStringLiteral("navigace"));
    navigace->setExclusive(true);
    for (QPushButton* b : {SB_soutez, SB_kat, SB_listina, SB_nast, SB_mereni})
        navigace->addButton(b);
    SB_soutez->setChecked(true);
    SB_listina->setEnabled(false);
    SB_mereni->setEnabled(false);
    SB_export->setEnabled(false);
}

void TfrmQX::buildSoutez(QWidget* client) {
    pnl_soutez = panel(client, "pnl_soutez", 0, 39, 409, 355);
    SB_soutez_nova = button(pnl_soutez, "SB_soutez_nova", QStringLiteral("Nová soutěž"), 6, 4, 195, 21, true);
    btn_soutez_smazat = button(pnl_soutez, "btn_soutez_smazat", QStringLiteral("Smazat soutěž"), 208, 4, 195);
    btn_soutez_smazat->setEnabled(false);
    lbl_soutez_okres =
        label(pnl_soutez, "lbl_soutez_okres", QStringLiteral("Vyberte okres konání soutěže:"), 8, 32, 150);
    CB_soutez_okres = combo(pnl_soutez, "CB_soutez_okres", 163, 31, 240);

    pnl_soutez_detail = panel(pnl_soutez, "pnl_soutez_detail", 0, 53, 409, 84, false);
    QWidget* d = pnl_soutez_detail;
    label(d, "lbl_soutez_nazev", QStringLiteral("Název soutěže:"), 8, 3, 100);
    edt_soutez_nazev = edit(d, "edt_soutez_nazev", 110, 2, 293, 60);
    label(d, "lbl_soutez_misto", QStringLiteral("Místo soutěže:"), 8, 23, 100);
    cb_soutez_misto = qx::ovladace::comboSPsanim(d, "cb_soutez_misto", 110, 22, 293, 50);
    label(d, "lbl_soutez_datum", QStringLiteral("Datum a čas konání:"), 8, 43, 100);
    edt_soutez_datum = make<QDateEdit>(d, "edt_soutez_datum", 110, 42, 92, 19);
    edt_soutez_datum->setDisplayFormat(QStringLiteral("d.M.yyyy"));
    edt_soutez_datum->setCalendarPopup(true);
    edt_soutez_datum->setMinimumDate(kBezData);
    edt_soutez_datum->setSpecialValueText(kBezDataText);
    edt_soutez_datum->setDate(QDate(2017, 12, 25));
    edt_soutez_cas = edit(d, "edt_soutez_cas", 205, 42, 40, 5);
    label(d, "lbl_soutez_tel", QStringLiteral("Tel. pořadatele:"), 252, 43, 82);
    edt_soutez_tel = edit(d, "edt_soutez_tel", 334, 42, 69, 9);
    label(d, "lbl_soutez_web", QStringLiteral("Web pořadatele:"), 8, 63, 100);
    edt_soutez_web = edit(d, "edt_soutez_web", 110, 62, 92, 50);
    btn_soutez_ulozit = button(d, "btn_soutez_ulozit", kUlozit, 204, 61, 199);
    setTabOrder(edt_soutez_nazev, cb_soutez_misto);
    setTabOrder(cb_soutez_misto, edt_soutez_datum);
    setTabOrder(edt_soutez_datum, edt_soutez_cas);
    setTabOrder(edt_soutez_cas, edt_soutez_tel);
    setTabOrder(edt_soutez_tel, edt_soutez_web);
    setTabOrder(edt_soutez_web, btn_soutez_ulozit);

    SG_souteze = new StringGrid(8, 3, pnl_soutez);
    SG_souteze->setObjectName(QStringLiteral("SG_souteze"));
    SG_souteze->setGeometry(8, 139, 393, 212);
    SG_souteze->setRowCountWithTitle(14);
}

void TfrmQX::buildKat(QWidget* client) {
    pnl_kat = panel(client, "pnl_kat", 0, 39, 409, 170);
    SB_kat_nova = button(pnl_kat, "SB_kat_nova", QStringLiteral("Nová kategorie"), 6, 4, 195, 21, true);
    btn_kat_smazat = button(pnl_kat, "btn_kat_smazat", QStringLiteral("Smazat kategorii"), 208, 4, 195);
    btn_kat_smazat->setEnabled(false);
    lbl_kat_nazev = label(pnl_kat, "lbl_kat_nazev", QStringLiteral("Název kategorie:"), 8, 32, 85);
    edt_kat_nazev = edit(pnl_kat, "edt_kat_nazev", 94, 31, 130, 60);
    lbl_kat_zkr = label(pnl_kat, "lbl_kat_zkr", QStringLiteral("Zkratka:"), 230, 32, 45);
    edt_kat_zkr = edit(pnl_kat, "edt_kat_zkr", 274, 31, 40, 5);
    btn_kat_ulozit = button(pnl_kat, "btn_kat_ulozit", kUlozit, 318, 30, 85);
    SG_kat = new StringGrid(3, 2, pnl_kat);
    SG_kat->setObjectName(QStringLiteral("SG_kat"));
    SG_kat->setGeometry(8, 60, 393, 100);
    SG_kat->setRowCountWithTitle(7);
}

void TfrmQX::buildTym(QWidget* client) {
    pnl_tym = new PanelTym(dm_, chyby_, client);
    connect(pnl_tym, &PanelTym::obnovit, this, [this] { chyby_.run([this] { Zobraz_seznamy(); }); });
}

void TfrmQX::buildListina(QWidget* client) {
    pnl_listina = new PanelListina(
        dm_, chyby_, [this] { return kontext(); }, client);
    connect(pnl_listina, &PanelListina::obnovit, this, [this] { chyby_.run([this] { Zobraz_seznamy(); }); });
    connect(pnl_listina, &PanelListina::listinaNactena, this,
            [this](int pocet) { SB_mereni->setEnabled(pocet > 0); });
}

void TfrmQX::buildNast(QWidget* client) {
    pnl_nast = new PanelNastaveni(client);
    connect(pnl_nast, &PanelNastaveni::kategorieZmenena, this, &TfrmQX::CB_nast_katChange);
    connect(pnl_nast, &PanelNastaveni::obnovit, this, [this] { chyby_.run([this] { Zobraz_seznamy(); }); });
    connect(pnl_nast, &PanelNastaveni::disciplinaZmenena, this, &TfrmQX::CB_nast_disciplinaChange);
    connect(pnl_nast, &PanelNastaveni::chyba, this, [this](const QString& text) { showError(text); });

    pnl_web = new PanelWeb(client, webNaslouchani);
    connect(pnl_web, &PanelWeb::prepnuto, this, [this](bool zapnuto, int port) {
        QString chyba;
        if (!qx::writeWebIni(qx::qxDbIniPath(), qx::WebIni{zapnuto, port}, &chyba)) showError(chyba);
    });
    connect(pnl_web, &PanelWeb::spusten, this, &TfrmQX::zverejniWeb);
    webTimer_ = new QTimer(this);
    webTimer_->setSingleShot(true);
    webTimer_->setInterval(0);
    connect(webTimer_, &QTimer::timeout, this, &TfrmQX::zverejniWeb);
}

void TfrmQX::buildMereni(QWidget* client) {
    pnl_mereni = new PanelMereni(
        sluzba_, chyby_, [this] { return kontext(); }, poradi, client);
    connect(pnl_mereni, &PanelMereni::aktualniTym, this, &TfrmQX::posliAktualniTym);
    connect(pnl_mereni, &PanelMereni::obnovit, this, [this] { chyby_.run([this] { Zobraz_seznamy(); }); });
    connect(pnl_mereni, &PanelMereni::casUlozen, this, [this](qint64 id) { ulozene_.zaznamenej(id); });
    connect(pnl_mereni, &PanelMereni::zmenaProWeb, this, [this] {
        if (webTimer_ && pnl_web->server().bezi()) webTimer_->start();
    });
}

void TfrmQX::buildCasomira(QWidget* client) {
    pnl_casomira = panel(client, "pnl_casomira", 0, 397, 409, 20);
    lbl_casomira = label(pnl_casomira, "lbl_casomira", kCasomiraNepripojena, 4, 2, 401, 16);
    lbl_casomira->setFont(tahoma(11));
    lbl_casomira->setStyleSheet(QStringLiteral("color: red;"));
    lbl_zaloha = label(pnl_casomira, "lbl_zaloha", QStringLiteral("Záloha selhala!"), 300, 2, 105, 16);
    lbl_zaloha->setFont(tahoma(11));
    lbl_zaloha->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    lbl_zaloha->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl_zaloha->hide();
    zalohaTimer = new QTimer(this);
    zalohaTimer->setObjectName(QStringLiteral("zalohaTimer"));
    zalohaTimer->setInterval(kZalohaInterval);
    connect(zalohaTimer, &QTimer::timeout, this, [this] { zalohuj(Zaloha::Interval); });
}

void TfrmQX::buildSpojeni(QWidget* client) {
    pnl_spojeni = panel(client, "pnl_spojeni", 0, kVyskaOkna, 409, kVyskaSpojeni);
    lbl_spojeni = label(pnl_spojeni, "lbl_spojeni", QString(), 4, 1, 300, 20);
    lbl_spojeni->setWordWrap(true);
    QFont f = tahoma(10);
    f.setBold(true);
    lbl_spojeni->setFont(f);
    btn_spojeni_nastavit = button(pnl_spojeni, "btn_spojeni_nastavit", kNastavitPripojeni, 306, 1, 100, 20);
    pnl_spojeni->hide();
    connect(btn_spojeni_nastavit, &QPushButton::clicked, this, &TfrmQX::nastavitPripojeni);

    // The settings view's line about the database.
    pnl_nast_spojeni = panel(client, "pnl_nast_spojeni", 0, 349, 409, 45, false);
    lbl_nast_spojeni = label(pnl_nast_spojeni, "lbl_nast_spojeni", QString(), 6, 4, 397, 16);
    btn_nast_spojeni = button(pnl_nast_spojeni, "btn_nast_spojeni", kNastavitPripojeni, 6, 21, 130);
    pnl_nast_spojeni->hide();
    connect(btn_nast_spojeni, &QPushButton::clicked, this, &TfrmQX::nastavitPripojeni);

    spojeniTimer_ = new QTimer(this);
    spojeniTimer_->setSingleShot(true);
    spojeniTimer_->setInterval(15000);
    connect(spojeniTimer_, &QTimer::timeout, this, [this] {
        if (!dm_.pozastaveno()) skryjSpojeni();
    });

    // Outages do not open a box per action: they go to the one notice. A refused login or a missing
    // database is told in a box that offers the connection settings.
    chyby_.setSpojeni([this](const DbError& e) {
        if (e.vypadek())
            vypadekSpojeni(e);
        else
            showConnectionError(e);
    });
    connect(&hlidac_, &qx::HlidacSpojeni::nezdar, this, [this](const DbError& e) {
        if (dm_.pozastaveno()) ukazSpojeni(e.zprava() + QStringLiteral(" Zkouším znovu…"), true);
    });
    connect(&hlidac_, &qx::HlidacSpojeni::obnoveno, this, &TfrmQX::spojeniObnoveno);
}

void TfrmQX::connectHandlers() {
    for (QPushButton* b : {SB_soutez, SB_kat, SB_listina, SB_nast})
        connect(b, &QPushButton::clicked, this, [this] { chyby_.run([this] { Zobraz_seznamy(); }); });
    connect(SB_mereni, &QPushButton::clicked, this, &TfrmQX::SB_mereniClick);
    connect(SB_export, &QPushButton::clicked, this, &TfrmQX::SB_exportClick);

    connect(SB_soutez_nova, &QPushButton::clicked, this, &TfrmQX::SB_soutez_novaClick);
    connect(CB_soutez_okres, &QComboBox::activated, this, &TfrmQX::CB_soutez_okresChange);
    connect(btn_soutez_ulozit, &QPushButton::clicked, this, &TfrmQX::btn_soutez_ulozitClick);
    connect(btn_soutez_smazat, &QPushButton::clicked, this, &TfrmQX::btn_soutez_smazatClick);
    // Any click on a row, also on the current one, shows that row's data anew.
    connect(SG_souteze, &StringGrid::rowClicked, this, &TfrmQX::SG_soutezeClick);
    connect(edt_soutez_datum, &QDateEdit::dateChanged, this, [this] { datumZmenen_ = true; });
    connect(SG_souteze, &QTableWidget::cellDoubleClicked, this, &TfrmQX::SG_soutezeDblClick);

    connect(SB_kat_nova, &QPushButton::clicked, this, &TfrmQX::SB_kat_novaClick);
    connect(SG_kat, &StringGrid::rowClicked, this, &TfrmQX::SG_katClick);
    connect(btn_kat_ulozit, &QPushButton::clicked, this, &TfrmQX::btn_kat_ulozitClick);
    connect(btn_kat_smazat, &QPushButton::clicked, this, &TfrmQX::btn_kat_smazatClick);
}

// ------------------------------------------------------------------ start-up

void TfrmQX::FormCreate() {
    // 1. The settings file; one that is there but cannot be read is named once, here.
    QString chybaNastaveni;
    pnl_nast->nactiNastaveni(qx::readQxDbIni(qx::qxDbIniPath(), &chybaNastaveni));
    if (!chybaNastaveni.isEmpty()) showError(chybaNastaveni);

    // 2. Device state until the timer console reports.
    verze = 466;
    nast = 170;
    poradi = 1;

    // 3.
    Nastav_SG();

    // 4. The start-up load, under one guard; again after the operator set another connection.
    for (;;) {
        try {
            qx::change_des(dm_, verze);
            load_okres();
            load_souteze();
            load_kat();
            break;
        } catch (const DbError& e) {
            if (!showStartupFailure(e.operace() == DbError::Operace::Pripojeni ? e.zprava() : QString(),
                                    e.text()))
                return;
        } catch (const std::exception& e) {
            if (!showStartupFailure(QString(), QString::fromLocal8Bit(e.what()))) return;
        }
    }

    // 5.-7. Without a connection they have no use; they run only after a
    // successful load.
    chyby_.run([this] { Zobraz_seznamy(); });
    requestTimerConsoleSettings();
    chyby_.run([this] { dm_.upgrade_schema(); });
    // The history of stored times; without its table the program works on and says so once.
    if (QString chyba; !mereniData_.pripravHistorii(&chyba)) showError(chyba);
    zalohaTimer->start();
    // The results server, when the operator left it on.
    if (const qx::WebIni web = qx::readWebIni(qx::qxDbIniPath()); web.zapnuto) pnl_web->zapni(web.port);
    zmenyTimer_->start();
}

// ------------------------------------------------------------------ other computers

void TfrmQX::kontrolaZmen() {
    // Not inside an action that shows a box: its own reload follows when it ends.
    if (otevreneBoxy_ > 0) return;
    qx::ZmenyJinych z;
    try {
        z = dm_.zkontroluj_zmeny(id_soutez.toLongLong());
    } catch (const DbError& e) {
        // A server that went away shows as the one outage notice at once, even while the operator
        // does nothing (and the next checks fail at once instead of waiting on it again); any
        // other failure is left to the next action to tell.
        if (e.operace() == DbError::Operace::Pripojeni && e.vypadek() && !dm_.pozastaveno())
            vypadekSpojeni(e);
        return;
    }
    chyby_.run([this, z] {
        if (z.sdilene && SB_soutez->isChecked()) obnovSouteze();
        if (z.sdilene && SB_kat->isChecked()) {
            obnovKat();
            pnl_tym->obnovZJinych();
        }
        if (!z.soutez) return;
        if (SB_listina->isChecked()) pnl_listina->obnovZJinych();
        if (SB_mereni->isChecked()) pnl_mereni->obnovVysledky();
        zverejniWeb();
    });
}

namespace {
// Keeps the grid's current row on the row with this id after a reload (no click signal).
template <class Row> void drzRadek(StringGrid* grid, const QList<Row>& rows, std::optional<qint64> id) {
    if (!id) return;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].id != *id) continue;
        const QSignalBlocker block(grid);
        grid->setRow(int(i) + 1);
        return;
    }
}
// No field of the panel has the focus.
bool bezFokusu(const QWidget* panel) {
    return !panel->isAncestorOf(QApplication::focusWidget());
}
} // namespace

void TfrmQX::obnovSouteze() {
    const std::optional<qint64> id = aktualniSoutez();
    bool pole = !SB_soutez_nova->isChecked() && bezFokusu(pnl_soutez_detail) && !datumZmenen_;
    if (pole && id) {
        const qx::SoutezRadek& r = souteze_[SG_souteze->Row() - 1];
        pole = edt_soutez_nazev->text() == r.nazev && CB_soutez_okres->currentText() == r.okres &&
               cb_soutez_misto->currentText() == r.misto && edt_soutez_cas->text() == r.cas &&
               edt_soutez_tel->text() == r.telefon && edt_soutez_web->text() == r.web;
    }
    load_souteze();
    drzRadek(SG_souteze, souteze_, id);
    if (pole) zobrazSoutez();
}

void TfrmQX::obnovKat() {
    const std::optional<qint64> id = aktualniKategorie();
    bool pole = !SB_kat_nova->isChecked() && bezFokusu(pnl_kat);
    if (pole && id) {
        const qx::KategorieRadek& r = kategorie_[SG_kat->Row() - 1];
        pole = edt_kat_nazev->text() == r.nazev && edt_kat_zkr->text() == r.zkratka;
    }
    const QString nazev = edt_kat_nazev->text(), zkratka = edt_kat_zkr->text();
    load_kat();
    drzRadek(SG_kat, kategorie_, id);
    if (pole) {
        zobrazKat();
    } else {
        // load_kat shows the current row's values; the operator's typing stays.
        edt_kat_nazev->setText(nazev);
        edt_kat_zkr->setText(zkratka);
    }
}

bool TfrmQX::rozhodniKonflikt(const QString& ulozeno, const QString& moje) {
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(),
                    QStringLiteral("Jiný počítač mezitím uložil: ") + ulozeno, QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("konflikt"));
    box.setInformativeText(QStringLiteral("Vaše hodnoty: ") + moje);
    QPushButton* prepsat = box.addButton(QStringLiteral("Přepsat mým"), QMessageBox::AcceptRole);
    QPushButton* ponechat = box.addButton(QStringLiteral("Ponechat uložené"), QMessageBox::RejectRole);
    box.setDefaultButton(ponechat);
    showBox(box);
    return box.clickedButton() == prepsat;
}

bool TfrmQX::showStartupFailure(const QString& co, const QString& detail) {
    startupFailed_ = true;
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(),
                    dbFailureMessage(dm_.settings(), co), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("db_failure"));
    box.setDetailedText(detail);
    QPushButton* nastavit = box.addButton(kNastavitPripojeni, QMessageBox::ActionRole);
    nastavit->setObjectName(QStringLiteral("btn_db_failure_nastavit"));
    showBox(box);
    if (box.clickedButton() != nastavit || !nastavitPripojeni()) return false;
    startupFailed_ = false;
    return true;
}

void TfrmQX::requestTimerConsoleSettings() {
    // Listening first, so the answers find the window. Both requests travel in order over one
    // connection; the console answers each as an ordinary message.
    if (!channel_.isListening()) {
        connect(&channel_, &qx::LocalChannel::messageReceived, this, &TfrmQX::zpravaOdStopek);
        channel_.listen();
    }
    channel_.send(qx::StopkyName, qx::AM_Nast, 0, 0);
    channel_.send(qx::StopkyName, qx::AM_Form, 0, 0);
}

void TfrmQX::zpravaOdStopek(quint32 msg, qint32 wParam, qint32 lParam) {
    // Through the error sink: a failure shows the message and never reaches the channel.
    chyby_.run([&] {
        switch (msg) {
        case qx::AM_Nast: {
            const qx::CasomiraStav stav = qx::amNast(wParam, lParam, nast);
            verze = wParam;
            lbl_casomira->setText(stav.lbl_casomira);
            nast = stav.nast;
            pnl_nast->CB_nast_disciplina->setEnabled(stav.disciplinaEnabled);
            if (SB_mereni->isChecked()) enterMeasurementPanel();
            setSplitRowShown(stav.splitRowShown);
            break;
        }
        case qx::AM_Form:
            // Selected without the list's change action, and locked against changes.
            pnl_nast->zamkniFormat(lParam);
            break;
        case qx::AM_Cas1:
            pnl_mereni->amCas1(wParam, lParam);
            break;
        case qx::AM_Cas2:
            pnl_mereni->amCas2(lParam);
            break;
        case qx::AM_Mezi:
            pnl_mereni->amMezi(wParam, lParam);
            break;
        default:
            break;
        }
    });
}

bool TfrmQX::posliAktualniTym(const QString& line1, const QString& line2) {
    const qx::ActualWriteResult written = qx::writeActualFile(line1, line2);
    if (!written.ok) {
        showError(written.error);
        return false;
    }
    channel_.send(qx::StopkyName, qx::AM_Text, 0, 0);
    return true;
}

void TfrmQX::enterMeasurementPanel() {
    pnl_mereni->load_mereni_poradi();
    pnl_mereni->load_mereni(0);
    Zobraz_seznamy();
}

void TfrmQX::Nastav_SG() {
    struct Titles {
        StringGrid* grid;
        QStringList titles;
        QList<int> widths;
    };
    const QList<Titles> all{
        {SG_souteze,
         {QStringLiteral("Název soutěže"), QStringLiteral("Datum"), QStringLiteral("Čas")},
         {261, 69, 40}},
        {pnl_listina->SG_listina,
         {QStringLiteral("Poř."), QStringLiteral("Název týmu"), QStringLiteral("Okres"),
          QStringLiteral("Tým"), QStringLiteral("Kat.")},
         {27, 195, 80, 26, 41}},
        {SG_kat, {QStringLiteral("Název kategorie"), QStringLiteral("Zkratka")}, {302, 69}},
        {pnl_mereni->SG_mereni,
         {QStringLiteral("Poz."), QStringLiteral("Název týmu"), QStringLiteral("Okres"),
          QStringLiteral("Tým"), QStringLiteral("Kat."), QStringLiteral("Čas")},
         {27, 154, 67, 26, 41, 64}},
    };
    for (const Titles& t : all) {
        t.grid->setRowHeights(15);
        for (int c = 0; c < t.titles.size(); ++c) {
            t.grid->setCells(c, 0, t.titles[c]);
            t.grid->setColumnWidth(c, t.widths[c]);
        }
    }
}

// ------------------------------------------------------------------ refresh

void TfrmQX::Zobraz_seznamy() {
    struct View {
        QPushButton* toggle;
        QList<QFrame*> panels;
        bool pdf;
        void (TfrmQX::*branch)();
    };
    const View views[] = {
        {SB_soutez, {pnl_soutez}, false, &TfrmQX::zobrazSoutez},
        {SB_kat, {pnl_kat, pnl_tym}, false, &TfrmQX::zobrazKat},
        {SB_listina, {pnl_listina}, true, &TfrmQX::zobrazListina},
        {SB_nast, {pnl_nast, pnl_web, pnl_nast_spojeni}, false, &TfrmQX::zobrazNast},
        {SB_mereni, {pnl_mereni}, true, &TfrmQX::zobrazMereni},
    };
    for (const View& v : views) {
        if (!v.toggle->isChecked()) {
            for (QFrame* p : v.panels)
                p->hide();
            continue;
        }
        for (QFrame* p : v.panels)
            p->show();
        SB_export->setEnabled(v.pdf);
        (this->*v.branch)();
    }
}

void TfrmQX::zobrazSoutez() {
    const int row = SG_souteze->Row();
    // A competition saved without a name is an empty row: neither editable nor choosable.
    const bool competitionRow = aktualniSoutez() && !SG_souteze->Cells(0, row).isEmpty();
    vlozitSoutez_ = SB_soutez_nova->isChecked();
    if (vlozitSoutez_) {
        // A new competition is offered the registers' districts and places only.
        qx::ovladace::odeberZastupce(CB_soutez_okres);
        qx::ovladace::odeberZastupce(cb_soutez_misto);
        btn_soutez_ulozit->setText(kVlozit);
        btn_soutez_smazat->setEnabled(false);
        edt_soutez_nazev->clear();
        edt_soutez_cas->clear();
        edt_soutez_tel->clear();
        edt_soutez_web->clear();
        cb_soutez_misto->setCurrentIndex(-1);
        // The box keeps its date; a new competition after one without a readable date gets today's.
        if (edt_soutez_datum->date() == kBezData) edt_soutez_datum->setDate(QDate::currentDate());
        datumZmenen_ = false;
        lbl_soutez_okres->show();
        CB_soutez_okres->show();
        pnl_soutez_detail->setVisible(!CB_soutez_okres->currentText().isEmpty());
        return;
    }
    btn_soutez_ulozit->setText(kUlozit);
    btn_soutez_smazat->setEnabled(competitionRow);
    edt_soutez_nazev->setText(SG_souteze->Cells(0, row));
    if (aktualniSoutez()) {
        // The stored date; a stored text that is no date is shown as it is and not replaced.
        const QString datum = souteze_[row - 1].datum;
        const QDate d = qx::datumUlozene(datum);
        edt_soutez_datum->setSpecialValueText(datum.isEmpty() ? kBezDataText : datum);
        edt_soutez_datum->setDate(d.isValid() ? d : kBezData);
    }
    edt_soutez_cas->setText(SG_souteze->Cells(2, row));
    qx::ovladace::load_CB(SG_souteze->Cells(4, row), CB_soutez_okres);
    qx::ovladace::fillCombo(cb_soutez_misto, dm_.load_obce(CB_soutez_okres->currentText()));
    qx::ovladace::load_CB(SG_souteze->Cells(5, row), cb_soutez_misto);
    edt_soutez_tel->setText(SG_souteze->Cells(6, row));
    edt_soutez_web->setText(SG_souteze->Cells(7, row));
    datumZmenen_ = false;
    const bool show = competitionRow || !CB_soutez_okres->currentText().isEmpty();
    lbl_soutez_okres->setVisible(show);
    CB_soutez_okres->setVisible(show);
    pnl_soutez_detail->setVisible(show);
}

void TfrmQX::zobrazKat() {
    for (QWidget* w : std::initializer_list<QWidget*>{lbl_kat_nazev, edt_kat_nazev, lbl_kat_zkr, edt_kat_zkr,
                                                      btn_kat_ulozit})
        w->hide();
    pnl_kat->show();
    pnl_tym->show();
    const auto showFields = [this] {
        for (QWidget* w : std::initializer_list<QWidget*>{lbl_kat_nazev, edt_kat_nazev, lbl_kat_zkr,
                                                          edt_kat_zkr, btn_kat_ulozit})
            w->show();
    };
    vlozitKat_ = SB_kat_nova->isChecked();
    if (vlozitKat_) {
        showFields();
        btn_kat_ulozit->setText(kVlozit);
        btn_kat_smazat->setEnabled(false);
        edt_kat_nazev->clear();
        edt_kat_zkr->clear();
    } else {
        btn_kat_ulozit->setText(kUlozit);
        btn_kat_smazat->setEnabled(true);
        edt_kat_nazev->setText(SG_kat->Cells(0, SG_kat->Row()));
        edt_kat_zkr->setText(SG_kat->Cells(1, SG_kat->Row()));
    }
    if (!edt_kat_nazev->text().isEmpty())
        showFields();
    else
        btn_kat_smazat->setEnabled(false);
}

void TfrmQX::zobrazListina() {
    pnl_listina->obnov();
}

void TfrmQX::zobrazNast() {
    const qx::ConnectionSettings& s = dm_.settings();
    lbl_nast_spojeni->setText(QStringLiteral("Databáze %1 na serveru %2, uživatel %3")
                                  .arg(QString::fromUtf8(s.database), s.server(), QString::fromUtf8(s.user)));
    pnl_nast->obnov();
}

void TfrmQX::zobrazMereni() {
    pnl_mereni->lbl_mereni_soutez->setText(nazev_souteze);
    pnl_mereni->zmena_nast();
}

// ------------------------------------------------------------------ register operations

std::optional<qint64> TfrmQX::aktualniSoutez() const {
    const int row = SG_souteze->Row();
    if (row < 1 || row > souteze_.size()) return std::nullopt;
    return souteze_[row - 1].id;
}

std::optional<qint64> TfrmQX::aktualniKategorie() const {
    const int row = SG_kat->Row();
    if (row < 1 || row > kategorie_.size()) return std::nullopt;
    return kategorie_[row - 1].id;
}

void TfrmQX::load_souteze() {
    souteze_ = dm_.load_souteze();
    QList<QStringList> cells;
    cells.reserve(souteze_.size());
    for (const qx::SoutezRadek& r : souteze_)
        cells.append({r.nazev, qx::FormatDateTime_QX(r.datum), r.cas, QString::number(r.id), r.okres, r.misto,
                      r.telefon, r.web});
    SG_souteze->fill(14, cells);
}

void TfrmQX::save_soutez() {
    const std::optional<qint64> id = vlozitSoutez_ ? std::nullopt : aktualniSoutez();
    if (!vlozitSoutez_ && !id) return; // an empty row has no competition to rewrite
    // A save without a new date writes back exactly the stored one, whatever it holds.
    const QDate picked = edt_soutez_datum->date();
    const QString datum = id && (!datumZmenen_ || picked == kBezData) ? souteze_[SG_souteze->Row() - 1].datum
                                                                      : qx::datumUlozeni(picked);
    const qx::Soutez s{
        edt_soutez_nazev->text(), CB_soutez_okres->currentText(), cb_soutez_misto->currentText(), datum,
        edt_soutez_cas->text(),   edt_soutez_tel->text(),         edt_soutez_web->text()};
    if (!id) {
        dm_.save_soutez(id, s);
        SB_soutez_nova->setChecked(false);
    } else {
        const qx::SoutezRadek videno = souteze_[SG_souteze->Row() - 1];
        try {
            dm_.save_soutez(videno, s);
        } catch (const qx::KonfliktZaznamu& k) {
            const qx::SoutezRadek moje{videno.id, s.nazev, s.okres,   s.misto,
                                       s.datum,   s.cas,   s.telefon, s.web};
            if (k.soutez && rozhodniKonflikt(k.ulozeno(), qx::popisRadku(moje)))
                dm_.save_soutez(*k.soutez, s);
            else if (k.smazano())
                throw;
        }
    }
    load_souteze();
}

void TfrmQX::delete_soutez() {
    if (aktualniSoutez()) {
        const qx::SoutezRadek videno = souteze_[SG_souteze->Row() - 1];
        try {
            dm_.delete_soutez(videno);
        } catch (const qx::KonfliktZaznamu& k) {
            if (k.soutez && rozhodniKonflikt(k.ulozeno(), QStringLiteral("smazat")))
                dm_.delete_soutez(*k.soutez);
        }
    }
    load_souteze();
}

void TfrmQX::load_okres() {
    const QStringList okresy = dm_.load_okres();
    {
        const QSignalBlocker block(CB_soutez_okres);
        CB_soutez_okres->clear();
        CB_soutez_okres->addItem(QString());
        CB_soutez_okres->addItems(okresy);
        CB_soutez_okres->setCurrentIndex(-1);
    }
    pnl_listina->setOkresy(okresy);
    QComboBox* tymOkres = pnl_tym->CB_tym_okres;
    const QSignalBlocker block(tymOkres);
    const int before = tymOkres->currentIndex();
    tymOkres->addItems(okresy);
    tymOkres->setCurrentIndex(before);
}

void TfrmQX::load_kat() {
    kategorie_ = dm_.load_kat();
    QList<QStringList> cells;
    QStringList nazvy;
    for (const qx::KategorieRadek& k : kategorie_) {
        cells.append({k.nazev, k.zkratka, QString::number(k.id)});
        nazvy.append(k.nazev);
    }
    SG_kat->fill(7, cells);
    pnl_nast->setKategorie(nazvy);
    pnl_listina->setKategorie(nazvy);
    const int current = SG_kat->Row();
    if (current >= 1 && current <= kategorie_.size()) {
        edt_kat_nazev->setText(kategorie_[current - 1].nazev);
        edt_kat_zkr->setText(kategorie_[current - 1].zkratka);
    }
}

bool TfrmQX::save_kat() {
    const std::optional<qint64> id = vlozitKat_ ? std::nullopt : aktualniKategorie();
    if (!vlozitKat_ && !id) return true; // an empty row has no category to rewrite
    const QString nazev = edt_kat_nazev->text();
    // A new name, or a changed one, must not be one the database takes for another category's:
    // the start list and the settings panel find a category by its name. A category saved
    // under its own name stays saveable, whatever older look-alikes exist.
    const bool novyNazev = vlozitKat_ || nazev != kategorie_[SG_kat->Row() - 1].nazev;
    if (novyNazev) {
        if (const std::optional<QString> shodna = dm_.kategorie_shodna(nazev, id)) {
            chyby_.show(
                QStringLiteral("Kategorii „%1“ nelze uložit: databáze ji nerozliší od kategorie „%2“, "
                               "která už existuje. Zvolte jiný název.")
                    .arg(nazev, *shodna));
            return false;
        }
    }
    if (!id) {
        dm_.save_kat(id, nazev, edt_kat_zkr->text());
        SB_kat_nova->setChecked(false);
    } else {
        const qx::KategorieRadek videno = kategorie_[SG_kat->Row() - 1];
        try {
            dm_.save_kat(videno, nazev, edt_kat_zkr->text());
        } catch (const qx::KonfliktZaznamu& k) {
            const qx::KategorieRadek moje{videno.id, nazev, edt_kat_zkr->text()};
            if (k.kategorie && rozhodniKonflikt(k.ulozeno(), qx::popisRadku(moje)))
                dm_.save_kat(*k.kategorie, nazev, edt_kat_zkr->text());
            else if (k.smazano())
                throw;
        }
    }
    load_kat();
    return true;
}

void TfrmQX::delete_kat() {
    if (aktualniKategorie()) {
        const qx::KategorieRadek videno = kategorie_[SG_kat->Row() - 1];
        try {
            dm_.delete_kat(videno);
        } catch (const qx::KonfliktZaznamu& k) {
            if (k.kategorie && rozhodniKonflikt(k.ulozeno(), QStringLiteral("smazat")))
                dm_.delete_kat(*k.kategorie);
        }
    }
    load_kat();
}

void TfrmQX::load_listina() {
    pnl_listina->load_listina();
}

qx::MereniKontext TfrmQX::kontext() const {
    qx::MereniKontext k;
    k.idSoutez = id_soutez;
    k.nast = nast;
    k.verze = verze;
    return pnl_nast->kontext(k);
}

// ------------------------------------------------------------------ handlers

void TfrmQX::SB_soutez_novaClick() {
    chyby_.run([this] {
        if (SB_soutez_nova->isChecked()) CB_soutez_okres->setCurrentIndex(-1);
        Zobraz_seznamy();
    });
}

void TfrmQX::CB_soutez_okresChange() {
    chyby_.run([this] {
        qx::ovladace::fillCombo(cb_soutez_misto, dm_.load_obce(CB_soutez_okres->currentText()));
        Zobraz_seznamy();
    });
}

void TfrmQX::btn_soutez_ulozitClick() {
    chyby_.run([this] {
        save_soutez();
        Zobraz_seznamy();
    });
}

void TfrmQX::btn_soutez_smazatClick() {
    chyby_.run([this] {
        delete_soutez();
        Zobraz_seznamy();
    });
}

void TfrmQX::SG_soutezeClick() {
    chyby_.run([this] { Zobraz_seznamy(); });
}

void TfrmQX::SG_soutezeDblClick() {
    chyby_.run([this] {
        const int row = SG_souteze->Row();
        const std::optional<qint64> id = aktualniSoutez();
        if (id && !SG_souteze->Cells(0, row).isEmpty()) {
            setWindowTitle(kCaption + QStringLiteral(" - ") + SG_souteze->Cells(0, row));
            id_soutez = QString::number(*id);
            nazev_souteze = SG_souteze->Cells(0, row);
            datum_souteze = SG_souteze->Cells(1, row);
            cas_souteze = SG_souteze->Cells(2, row);
            SB_listina->setEnabled(true);
            load_listina();
        }
        Zobraz_seznamy();
    });
}

void TfrmQX::SB_kat_novaClick() {
    chyby_.run([this] { Zobraz_seznamy(); });
}

void TfrmQX::SG_katClick() {
    chyby_.run([this] { Zobraz_seznamy(); });
}

void TfrmQX::btn_kat_ulozitClick() {
    chyby_.run([this] {
        if (save_kat()) Zobraz_seznamy();
    });
}

void TfrmQX::btn_kat_smazatClick() {
    chyby_.run([this] {
        delete_kat();
        Zobraz_seznamy();
    });
}

void TfrmQX::SB_mereniClick() {
    chyby_.run([this] { enterMeasurementPanel(); });
}

void TfrmQX::SB_exportClick() {
    chyby_.run([this] {
        const qx::Pohled pohled = SB_mereni->isChecked() ? qx::Pohled::Mereni : qx::Pohled::Listina;
        qx::ExportVstup vstup = qx::nactiExport(dm_, kontext(), pohled);
        if (!vstup.soutez) {
            showError(QStringLiteral("Zvolená soutěž už v databázi není, export se nevytvořil."));
            return;
        }
        // While the results server is on, the list carries the QR code of its page.
        if (pnl_web->server().bezi())
            if (const auto qr = qx::qrKod(pnl_web->adresaStranky().toUtf8())) vstup.qr = qr->radky();
        const QString soubor = QDir::current().absoluteFilePath(QStringLiteral("export.pdf"));
        const qx::ExportVysledek vysledek = qx::exportujPdf(vstup, soubor);
        if (!vysledek.ok) {
            showError(vysledek.chyba);
            return;
        }
        if (openPdfSeam) openPdfSeam(soubor);
    });
}

void TfrmQX::SB_exportMenu(const QPoint& kde) {
    if (!SB_export->isEnabled()) return;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("menu_export"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Export do Excelu (xlsx)"), this, [this] { exportTabulky(true); });
    menu->addAction(QStringLiteral("Export do CSV"), this, [this] { exportTabulky(false); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Záloha soutěže"), this, [this] { zalohuj(Zaloha::NaPozadani); });
    menu->popup(SB_export->mapToGlobal(kde));
}

void TfrmQX::exportTabulky(bool xlsx) {
    chyby_.run([this, xlsx] {
        const qx::Pohled pohled = SB_mereni->isChecked() ? qx::Pohled::Mereni : qx::Pohled::Listina;
        const qx::ExportVstup vstup = qx::nactiExport(dm_, kontext(), pohled);
        if (!vstup.soutez) {
            showError(QStringLiteral("Zvolená soutěž už v databázi není, export se nevytvořil."));
            return;
        }
        const QString soubor = QDir::current().absoluteFilePath(xlsx ? QStringLiteral("export.xlsx")
                                                                     : QStringLiteral("export.csv"));
        const qx::ExportVysledek vysledek = qx::exportujTabulku(
            qx::tabulkaExportu(vstup), xlsx ? qx::TabulkovyFormat::Xlsx : qx::TabulkovyFormat::Csv, soubor);
        if (!vysledek.ok) {
            showError(vysledek.chyba);
            return;
        }
        if (openPdfSeam) openPdfSeam(soubor);
    });
}

void TfrmQX::CB_nast_katChange() {
    chyby_.run([this] {
        if (!id_soutez.isEmpty()) load_listina();
    });
}

void TfrmQX::CB_nast_disciplinaChange(uint8_t nastZDiscipliny) {
    nast = nastZDiscipliny;
    setSplitRowShown(qx::radekMezicasu(nast));
}

void TfrmQX::setSplitRowShown(bool shown) {
    pnl_mereni->setSplitRowShown(shown);
}

// ------------------------------------------------------------------ results server

bool TfrmQX::zapniWeb(int port) {
    if (!pnl_web->zapni(port)) return false;
    QString chyba;
    if (!qx::writeWebIni(qx::qxDbIniPath(), qx::WebIni{true, int(pnl_web->server().port())}, &chyba))
        showError(chyba);
    return true;
}

void TfrmQX::zverejniWeb() {
    if (!pnl_web->server().bezi()) return;
    chyby_.run([this] {
        const qx::MereniKontext k = kontext();
        const qx::MereniPohled& p = pnl_mereni->pohled();
        qx::VstupSnimku v;
        v.soutez = nazev_souteze;
        v.format = k.format;
        v.vysledky = pnl_mereni->vysledky();
        if (!k.idSoutez.isEmpty()) v.listina = mereniData_.listina(k.idSoutez, k.kategorie);
        v.idAkt = p.id_akt;
        v.radek1 = p.actualRadek1;
        v.radek2 = p.actualRadek2;
        v.aktualniTym = p.lbl_mereni_tym;
        v.aktualniUmisteni = p.lbl_mereni_poradi;
        v.prijateCasy = pnl_mereni->prijateCasy();
        v.ulozene = ulozene_.idcka();
        pnl_web->server().zverejni(qx::sestavSnimek(v));
    });
}

// ------------------------------------------------------------------ backup

std::optional<qx::ZapisZalohy> TfrmQX::zalohuj(Zaloha kdy) {
    if (id_soutez.isEmpty()) {
        if (kdy == Zaloha::NaPozadani) showError(QStringLiteral("Nejdřív vyberte soutěž, kterou zálohovat."));
        return std::nullopt;
    }
    bool cislo = false;
    const qint64 id = id_soutez.toLongLong(&cislo);
    if (!cislo) return std::nullopt;
    const qx::ZalohaIni ini = qx::readZalohaIni(qx::qxDbIniPath());
    const qx::ZapisZalohy z = qx::zalohuj(dm_, id, ini.slozka, ini.pocet);
    const bool bylaChyba = lbl_zaloha->isVisible();
    lbl_zaloha->setVisible(!z.ok);
    lbl_zaloha->setToolTip(z.ok ? QString() : z.chyba);
    lbl_casomira->setFixedWidth(z.ok ? 401 : 296);
    switch (kdy) {
    case Zaloha::Interval:
        if (!z.ok && !bylaChyba) std::fprintf(stderr, "zapisnik: %s\n", qPrintable(z.chyba));
        break;
    case Zaloha::NaPozadani:
        if (z.ok) {
            QMessageBox box(
                QMessageBox::Information, QApplication::applicationName(),
                QStringLiteral("Záloha soutěže je uložena:\n%1").arg(QDir::toNativeSeparators(z.soubor)),
                QMessageBox::Ok, this);
            box.setObjectName(QStringLiteral("zaloha_ok"));
            showBox(box);
        } else {
            showError(z.chyba);
        }
        break;
    case Zaloha::Konec:
        if (!z.ok) std::fprintf(stderr, "zapisnik: %s\n", qPrintable(z.chyba));
        break;
    }
    return z;
}

// ------------------------------------------------------------------ errors

void TfrmQX::showError(const QString& text, const QString& details) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("chyba"));
    if (!details.isEmpty()) box.setDetailedText(details);
    showBox(box);
}

// ------------------------------------------------------------------ database connection

void TfrmQX::showConnectionError(const DbError& e) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), e.zprava(), QMessageBox::Ok,
                    this);
    box.setObjectName(QStringLiteral("chyba"));
    box.setDetailedText(e.podrobnosti());
    QPushButton* nastavit = box.addButton(kNastavitPripojeni, QMessageBox::ActionRole);
    nastavit->setObjectName(QStringLiteral("btn_chyba_nastavit"));
    showBox(box);
    if (box.clickedButton() == nastavit) nastavitPripojeni();
}

void TfrmQX::ukazSpojeni(const QString& text, bool chyba) {
    lbl_spojeni->setText(text);
    lbl_spojeni->setToolTip(text);
    lbl_spojeni->setStyleSheet(chyba ? QStringLiteral("color: red;") : QStringLiteral("color: green;"));
    btn_spojeni_nastavit->setVisible(chyba);
    // The notice takes the height its text needs, under the status strip.
    const int w = chyba ? 300 : 401;
    lbl_spojeni->setFixedWidth(w);
    const int h = std::max(kVyskaSpojeni, lbl_spojeni->heightForWidth(w) + 2);
    lbl_spojeni->setFixedHeight(h - 2);
    pnl_spojeni->setGeometry(0, kVyskaOkna, 409, h);
    pnl_spojeni->show();
    setFixedSize(409, kVyskaOkna + h);
    spojeniTimer_->stop();
}

void TfrmQX::skryjSpojeni() {
    pnl_spojeni->hide();
    setFixedSize(409, kVyskaOkna);
}

void TfrmQX::vypadekSpojeni(const DbError& e) {
    // Statements fail at once from now on: the server is tried only by the watcher, in the
    // background, so a stalled server costs the window one bounded wait.
    dm_.pozastav(e);
    ukazSpojeni(e.zprava() + QStringLiteral(" Zkouším znovu…"), true);
    hlidac_.sleduj(dm_.settings());
}

void TfrmQX::spojeniObnoveno() {
    dm_.obnov();
    hlidac_.zastav();
    QStringList hotovo{QStringLiteral("Spojení s databází obnoveno.")};
    // The operator's save that the outage stopped is done now, with the text as typed.
    if (pnl_mereni->maCekajiciUlozeni()) {
        if (pnl_mereni->dokonciCekajiciUlozeni())
            hotovo << QStringLiteral("Čas uložen po obnovení spojení.");
        else if (dm_.pozastaveno())
            return; // the server went away again: the notice is back, the save still kept
    }
    // The visible panel anew; the time box keeps what the operator typed meanwhile.
    const QString napsano = pnl_mereni->CB_mereni_cas->currentText();
    const bool mereni = SB_mereni->isChecked();
    if (!chyby_.run([this] { Zobraz_seznamy(); })) return;
    if (mereni && hotovo.size() == 1 && pnl_mereni->CB_mereni_cas->currentText() != napsano)
        pnl_mereni->CB_mereni_cas->setEditText(napsano);
    ukazSpojeni(hotovo.join(u' '), false);
    spojeniTimer_->start();
}

bool TfrmQX::nastavitPripojeni() {
    DialogSpojeni d(dm_.settings(), this);
    if (dialogSeam(d) != QDialog::Accepted) return false;
    // The new settings count from the next statement on; an outage notice goes with the old ones.
    hlidac_.zastav();
    dm_.setSettings(d.nastaveni());
    if (dm_.pozastaveno()) {
        dm_.obnov();
        spojeniObnoveno();
    } else if (!startupFailed_) {
        chyby_.run([this] { Zobraz_seznamy(); });
    }
    return true;
}

// A message from the timer console that arrives while a box is open waits until it is closed:
// its handler never runs inside the action that failed.
void TfrmQX::showBox(QMessageBox& box) {
    channel_.holdDispatch();
    ++otevreneBoxy_;
    messageBoxSeam(box);
    --otevreneBoxy_;
    channel_.releaseDispatch();
}

// ------------------------------------------------------------------ program

int runZapisnik(qx::Tdm_QX& dm, int webPort) {
    TfrmQX frmQX(dm);
    if (frmQX.startupFailed()) return 1;
    if (webPort > 0 && !frmQX.zapniWeb(webPort)) return 1;
    frmQX.show();
    const int kod = QApplication::exec();
    frmQX.zalohuj(TfrmQX::Zaloha::Konec);
    return kod;
}
