#include "TfrmQX.h"

#include "Ovladace.h"
#include "PanelListina.h"
#include "PanelTym.h"
#include "QxDbIni.h"
#include "data/Registers.h"
#include "measurement/Casomira.h"
#include "measurement/Nastaveni.h"
#include "measurement/PanelNastaveni.h"
#include "measurement/Vysledky.h"
#include "messages/ActualFile.h"
#include "messages/Messages.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

using qx::DbError;

namespace {

const QString kUlozit = QStringLiteral("Uložit");
const QString kVlozit = QStringLiteral("Vložit");
const QString kCasomiraNepripojena =
    QStringLiteral("Časomíra není připojena. Disciplínu vyberte na záložce Nastavení!");
const QString kCaption = QStringLiteral("Časomíry QX");

// Marks a list entry that stands in for a stored value missing from the list.
constexpr int kStandInRole = Qt::UserRole + 1;

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

std::function<void(QMessageBox&)> TfrmQX::messageBoxSeam = [](QMessageBox& box) { box.exec(); };

const QString TfrmQX::kDbFailureMessage = QStringLiteral(
    "Program se memůže připojit k databázi. Zkontrolujte, zda máte spuštěn program PHPEasy a zda máte "
    "vytvořenou databázi myQX, viz návod!");

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
    connectHandlers();

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
        label(pnl_soutez, "lbl_soutez_okres", QStringLiteral("Vybere okres konání soutěže:"), 8, 32, 150);
    CB_soutez_okres = combo(pnl_soutez, "CB_soutez_okres", 163, 31, 240);

    pnl_soutez_detail = panel(pnl_soutez, "pnl_soutez_detail", 0, 53, 409, 84, false);
    QWidget* d = pnl_soutez_detail;
    label(d, "lbl_soutez_nazev", QStringLiteral("Název soutěže:"), 8, 3, 100);
    edt_soutez_nazev = edit(d, "edt_soutez_nazev", 110, 2, 293, 60);
    label(d, "lbl_soutez_misto", QStringLiteral("Místo soutěže:"), 8, 23, 100);
    cb_soutez_misto = combo(d, "cb_soutez_misto", 110, 22, 293);
    label(d, "lbl_soutez_datum", QStringLiteral("Datum a čas konání:"), 8, 43, 100);
    edt_soutez_datum = make<QDateEdit>(d, "edt_soutez_datum", 110, 42, 92, 19);
    edt_soutez_datum->setDisplayFormat(QStringLiteral("d.M.yyyy"));
    edt_soutez_datum->setCalendarPopup(true);
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
    panelTym_ = new PanelTym(dm_, client);
    pnl_tym = panelTym_;
    CB_tym_okres = panelTym_->CB_tym_okres;
    CB_tym_smazat = panelTym_->CB_tym_smazat;
    edt_tym_novy = panelTym_->edt_tym_novy;
    SB_tym_smazat = panelTym_->SB_tym_smazat;
    SB_tym_novy = panelTym_->SB_tym_novy;
    connect(panelTym_, &PanelTym::obnovit, this, [this] { guarded([this] { Zobraz_seznamy(); }); });
    connect(panelTym_, &PanelTym::chyba, this, &TfrmQX::showError);
}

void TfrmQX::buildListina(QWidget* client) {
    panelListina_ = new PanelListina(*this, dm_, client);
    PanelListina* p = panelListina_;
    pnl_listina = p;
    SB_listina_novy_tym = p->SB_listina_novy_tym;
    btn_listina_smazat_tym = p->btn_listina_smazat_tym;
    CB_listina_okres = p->CB_listina_okres;
    pnl_listina_detail = p->pnl_listina_detail;
    edt_listina_poradi = p->edt_listina_poradi;
    CB_listina_nazevSDH = p->CB_listina_nazevSDH;
    edt_listina_tym = p->edt_listina_tym;
    CB_listina_kat = p->CB_listina_kat;
    edt_listina_draha = p->edt_listina_draha;
    btn_listina_ulozit = p->btn_listina_ulozit;
    SG_listina = p->SG_listina;
    connect(p, &PanelListina::obnovit, this, [this] { guarded([this] { Zobraz_seznamy(); }); });
    connect(p, &PanelListina::chyba, this, &TfrmQX::showError);
}

void TfrmQX::buildNast(QWidget* client) {
    panelNastaveni_ = new PanelNastaveni(client);
    PanelNastaveni* p = panelNastaveni_;
    pnl_nast = p;
    CB_nast_kat = p->CB_nast_kat;
    CB_nast_kolo = p->CB_nast_kolo;
    CB_nast_cas = p->CB_nast_cas;
    CB_nast_stafeta = p->CB_nast_stafeta;
    CB_nast_disciplina = p->CB_nast_disciplina;
    CBFormat = p->CBFormat;
    CB_mezicas = p->CB_mezicas;
    edtPoradatel = p->edtPoradatel;
    edtM1nast = p->edtM1nast;
    edtM2nast = p->edtM2nast;
    edtM3Nast = p->edtM3Nast;
    edtM4Nast = p->edtM4Nast;
    btNPoradatel = p->btNPoradatel;
    connect(p, &PanelNastaveni::kategorieZmenena, this, &TfrmQX::CB_nast_katChange);
    connect(p, &PanelNastaveni::obnovit, this, [this] { guarded([this] { Zobraz_seznamy(); }); });
    connect(p, &PanelNastaveni::disciplinaZmenena, this, &TfrmQX::CB_nast_disciplinaChange);
    connect(p, &PanelNastaveni::chyba, this, &TfrmQX::showError);
}

void TfrmQX::buildMereni(QWidget* client) {
    pnl_mereni = panel(client, "pnl_mereni", 0, 39, 409, 355);
    lbl_mereni_soutez = label(pnl_mereni, "lbl_mereni_soutez", QString(), 4, 4, 401, 24);
    lbl_mereni_soutez->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(19);
    f.setBold(true);
    lbl_mereni_soutez->setFont(f);
    lbl_mereni_soutez->setStyleSheet(QStringLiteral("color: red;"));
    SG_mereni = new StringGrid(7, 6, pnl_mereni);
    SG_mereni->setObjectName(QStringLiteral("SG_mereni"));
    SG_mereni->setGeometry(8, 30, 393, 148);
    SG_mereni->setRowCountWithTitle(10);
}

void TfrmQX::buildCasomira(QWidget* client) {
    pnl_casomira = panel(client, "pnl_casomira", 0, 397, 409, 20);
    lbl_casomira = label(pnl_casomira, "lbl_casomira", kCasomiraNepripojena, 4, 2, 401, 16);
    lbl_casomira->setFont(tahoma(11));
    lbl_casomira->setStyleSheet(QStringLiteral("color: red;"));
}

void TfrmQX::connectHandlers() {
    for (QPushButton* b : {SB_soutez, SB_kat, SB_listina, SB_nast})
        connect(b, &QPushButton::clicked, this, [this] { guarded([this] { Zobraz_seznamy(); }); });
    connect(SB_mereni, &QPushButton::clicked, this, &TfrmQX::SB_mereniClick);

    connect(SB_soutez_nova, &QPushButton::clicked, this, &TfrmQX::SB_soutez_novaClick);
    connect(CB_soutez_okres, &QComboBox::activated, this, &TfrmQX::CB_soutez_okresChange);
    connect(btn_soutez_ulozit, &QPushButton::clicked, this, &TfrmQX::btn_soutez_ulozitClick);
    connect(btn_soutez_smazat, &QPushButton::clicked, this, &TfrmQX::btn_soutez_smazatClick);
    connect(SG_souteze, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row != previous) SG_soutezeClick();
    });
    connect(SG_souteze, &QTableWidget::cellDoubleClicked, this, &TfrmQX::SG_soutezeDblClick);

    connect(SB_kat_nova, &QPushButton::clicked, this, &TfrmQX::SB_kat_novaClick);
    connect(SG_kat, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row != previous) SG_katClick();
    });
    connect(btn_kat_ulozit, &QPushButton::clicked, this, &TfrmQX::btn_kat_ulozitClick);
    connect(btn_kat_smazat, &QPushButton::clicked, this, &TfrmQX::btn_kat_smazatClick);
}

// ------------------------------------------------------------------ start-up

void TfrmQX::FormCreate() {
    // 1. The settings file.
    panelNastaveni_->nactiNastaveni(qx::readQxDbIni(qx::qxDbIniPath()));

    // 2. Device state until the timer console reports.
    verze = 466;
    nast = 170;
    poradi = 1;

    // 3.
    Nastav_SG();

    // 4. The start-up load, under one guard.
    try {
        qx::change_des(dm_, verze);
        load_okres();
        load_souteze();
        load_kat();
    } catch (const DbError& e) {
        showStartupFailure(e.text());
        return;
    } catch (const std::exception& e) {
        showStartupFailure(QString::fromLocal8Bit(e.what()));
        return;
    }

    // 5.-7. Without a connection they have no use; they run only after a
    // successful load.
    guarded([this] { Zobraz_seznamy(); });
    requestTimerConsoleSettings();
    guarded([this] { dm_.upgrade_schema(); });
}

void TfrmQX::showStartupFailure(const QString& detail) {
    startupFailed_ = true;
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), kDbFailureMessage, QMessageBox::Ok,
                    this);
    box.setObjectName(QStringLiteral("db_failure"));
    box.setDetailedText(detail);
    showBox(box);
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
    switch (msg) {
    case qx::AM_Nast: {
        const qx::CasomiraStav stav = qx::amNast(wParam, lParam, nast);
        verze = wParam;
        lbl_casomira->setText(stav.lbl_casomira);
        nast = stav.nast;
        CB_nast_disciplina->setEnabled(stav.disciplinaEnabled);
        enterMeasurementPanel();
        setSplitRowShown(stav.splitRowShown);
        break;
    }
    case qx::AM_Form:
        // Selected without the list's change action, and locked against changes.
        if (lParam == 0 || lParam == 1) CBFormat->setCurrentIndex(lParam);
        CBFormat->setEnabled(false);
        break;
    default:
        break;
    }
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

void TfrmQX::enterMeasurementPanel() {}

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
        {SG_listina,
         {QStringLiteral("Poř."), QStringLiteral("Název týmu"), QStringLiteral("Okres"),
          QStringLiteral("Tým"), QStringLiteral("Kat.")},
         {27, 195, 80, 26, 41}},
        {SG_kat, {QStringLiteral("Název kategorie"), QStringLiteral("Zkratka")}, {302, 69}},
        {SG_mereni,
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
        {SB_nast, {pnl_nast}, false, &TfrmQX::zobrazNast},
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
    const bool competitionRow = !SG_souteze->Cells(0, row).isEmpty();
    if (SB_soutez_nova->isChecked()) {
        btn_soutez_ulozit->setText(kVlozit);
        btn_soutez_smazat->setEnabled(false);
        edt_soutez_nazev->clear();
        edt_soutez_cas->clear();
        edt_soutez_tel->clear();
        edt_soutez_web->clear();
        cb_soutez_misto->setCurrentIndex(-1);
        lbl_soutez_okres->show();
        CB_soutez_okres->show();
        pnl_soutez_detail->setVisible(!CB_soutez_okres->currentText().isEmpty());
        return;
    }
    btn_soutez_ulozit->setText(kUlozit);
    btn_soutez_smazat->setEnabled(competitionRow);
    edt_soutez_nazev->setText(SG_souteze->Cells(0, row));
    const QString datum = SG_souteze->Cells(1, row);
    if (!datum.isEmpty()) {
        // The grid shows the date in its fixed form day.month.year; it is read
        // back in that form, whatever the locale's short date format is.
        const QDate d = qx::datumZobrazeni(datum);
        edt_soutez_datum->setDate(d.isValid() ? d : QDate::currentDate());
    }
    edt_soutez_cas->setText(SG_souteze->Cells(2, row));
    load_CB(SG_souteze->Cells(4, row), CB_soutez_okres);
    load_obce(CB_soutez_okres->currentText(), cb_soutez_misto);
    load_CB(SG_souteze->Cells(5, row), cb_soutez_misto);
    edt_soutez_tel->setText(SG_souteze->Cells(6, row));
    edt_soutez_web->setText(SG_souteze->Cells(7, row));
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
    if (SB_kat_nova->isChecked()) {
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
    panelListina_->obnov();
}

void TfrmQX::zobrazNast() {
    panelNastaveni_->obnov();
}

void TfrmQX::zobrazMereni() {
    lbl_mereni_soutez->setText(nazev_souteze);
    enterMeasurementPanel();
}

// ------------------------------------------------------------------ register operations

void TfrmQX::load_souteze() {
    SG_souteze->fill(14, dm_.load_souteze());
}

void TfrmQX::save_soutez() {
    const bool vlozit = btn_soutez_ulozit->text() != kUlozit;
    const qx::Soutez s{edt_soutez_nazev->text(),       CB_soutez_okres->currentText(),
                       cb_soutez_misto->currentText(), edt_soutez_datum->date(),
                       edt_soutez_cas->text(),         edt_soutez_tel->text(),
                       edt_soutez_web->text()};
    dm_.save_soutez(vlozit, s, vlozit ? QString() : SG_souteze->Cells(3, SG_souteze->Row()));
    if (vlozit) SB_soutez_nova->setChecked(false);
    load_souteze();
}

void TfrmQX::delete_soutez() {
    dm_.delete_soutez(SG_souteze->Cells(3, SG_souteze->Row()));
    load_souteze();
}

void TfrmQX::load_okres() {
    const QStringList okresy = dm_.load_okres();
    for (QComboBox* cb : {CB_soutez_okres, CB_listina_okres}) {
        const QSignalBlocker block(cb);
        cb->clear();
        cb->addItem(QString());
        cb->addItems(okresy);
        cb->setCurrentIndex(-1);
    }
    const QSignalBlocker block(CB_tym_okres);
    const int before = CB_tym_okres->currentIndex();
    CB_tym_okres->addItems(okresy);
    CB_tym_okres->setCurrentIndex(before);
}

void TfrmQX::load_obce(const QString& okres, QComboBox* CB) {
    const QStringList obce = dm_.load_obce(okres);
    const QSignalBlocker block(CB);
    CB->clear();
    CB->addItems(obce);
    CB->setCurrentIndex(-1);
}

void TfrmQX::load_kat() {
    const QList<QStringList> rows = dm_.load_kat();
    SG_kat->fill(7, rows);
    const QString remembered = CB_nast_kat->currentText();
    const QSignalBlocker b1(CB_nast_kat);
    const QSignalBlocker b2(CB_listina_kat);
    for (QComboBox* cb : {CB_nast_kat, CB_listina_kat}) {
        cb->clear();
        cb->addItem(QString());
        cb->setCurrentIndex(-1);
    }
    const int current = SG_kat->Row();
    for (int k = 1; k <= rows.size(); ++k) {
        const QString& nazev = rows[k - 1][0];
        CB_nast_kat->addItem(nazev);
        CB_listina_kat->addItem(nazev);
        if (nazev == remembered) CB_nast_kat->setCurrentIndex(k);
        if (k == current) {
            edt_kat_nazev->setText(SG_kat->Cells(0, k));
            edt_kat_zkr->setText(SG_kat->Cells(1, k));
        }
    }
}

void TfrmQX::save_kat() {
    const bool vlozit = btn_kat_ulozit->text() != kUlozit;
    dm_.save_kat(vlozit, edt_kat_nazev->text(), edt_kat_zkr->text(),
                 vlozit ? QString() : SG_kat->Cells(2, SG_kat->Row()));
    if (vlozit) SB_kat_nova->setChecked(false);
    load_kat();
}

void TfrmQX::delete_kat() {
    dm_.delete_kat(SG_kat->Cells(0, SG_kat->Row()));
    load_kat();
}

void TfrmQX::load_listina() {
    const QList<QStringList> rows = dm_.load_listina(id_soutez, CB_nast_kat->currentText());
    SG_listina->fill(15, rows);
    SB_mereni->setEnabled(!rows.isEmpty());
}

void TfrmQX::load_CB(const QString& nazev, QComboBox* CB) {
    const QSignalBlocker block(CB);
    // A stand-in added for an earlier value goes first.
    for (int i = CB->count() - 1; i >= 0; --i)
        if (CB->itemData(i, kStandInRole).toBool()) CB->removeItem(i);
    QStringList items;
    items.reserve(CB->count());
    for (int i = 0; i < CB->count(); ++i)
        items << CB->itemText(i);
    int index = qx::load_CB_index(items, nazev);
    if (index == qx::kChybi) {
        CB->addItem(nazev);
        index = CB->count() - 1;
        CB->setItemData(index, true, kStandInRole);
    }
    CB->setCurrentIndex(index);
}

// ------------------------------------------------------------------ handlers

void TfrmQX::SB_soutez_novaClick() {
    guarded([this] {
        if (SB_soutez_nova->isChecked()) CB_soutez_okres->setCurrentIndex(-1);
        Zobraz_seznamy();
    });
}

void TfrmQX::CB_soutez_okresChange() {
    guarded([this] {
        load_obce(CB_soutez_okres->currentText(), cb_soutez_misto);
        Zobraz_seznamy();
    });
}

void TfrmQX::btn_soutez_ulozitClick() {
    guarded([this] {
        save_soutez();
        Zobraz_seznamy();
    });
}

void TfrmQX::btn_soutez_smazatClick() {
    guarded([this] {
        delete_soutez();
        Zobraz_seznamy();
    });
}

void TfrmQX::SG_soutezeClick() {
    guarded([this] { Zobraz_seznamy(); });
}

void TfrmQX::SG_soutezeDblClick() {
    guarded([this] {
        const int row = SG_souteze->Row();
        if (!SG_souteze->Cells(0, row).isEmpty()) {
            setWindowTitle(kCaption + QStringLiteral(" - ") + SG_souteze->Cells(0, row));
            id_soutez = SG_souteze->Cells(3, row);
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
    guarded([this] { Zobraz_seznamy(); });
}

void TfrmQX::SG_katClick() {
    guarded([this] { Zobraz_seznamy(); });
}

void TfrmQX::btn_kat_ulozitClick() {
    guarded([this] {
        save_kat();
        Zobraz_seznamy();
    });
}

void TfrmQX::btn_kat_smazatClick() {
    guarded([this] {
        delete_kat();
        Zobraz_seznamy();
    });
}

void TfrmQX::SB_mereniClick() {
    guarded([this] {
        enterMeasurementPanel();
        Zobraz_seznamy();
    });
}

void TfrmQX::CB_nast_katChange() {
    guarded([this] {
        if (!id_soutez.isEmpty()) load_listina();
    });
}

void TfrmQX::CB_nast_disciplinaChange(uint8_t nastZDiscipliny) {
    nast = nastZDiscipliny;
    setSplitRowShown(qx::radekMezicasu(nast));
}

void TfrmQX::setSplitRowShown(bool) {}

// ------------------------------------------------------------------ errors

void TfrmQX::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const DbError& e) {
        showError(e.text());
    } catch (const std::exception& e) {
        showError(QString::fromLocal8Bit(e.what()));
    }
}

void TfrmQX::showError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("chyba"));
    showBox(box);
}

// A message from the timer console that arrives while a box is open waits until it is closed:
// its handler never runs inside the action that failed.
void TfrmQX::showBox(QMessageBox& box) {
    channel_.holdDispatch();
    messageBoxSeam(box);
    channel_.releaseDispatch();
}

// ------------------------------------------------------------------ program

int runZapisnik(qx::Tdm_QX& dm) {
    TfrmQX frmQX(dm);
    if (frmQX.startupFailed()) return 1;
    frmQX.show();
    return QApplication::exec();
}
