#include "measurement/PanelMereni.h"

#include "data/Tdm_QX.h"
#include "measurement/Kontrola.h"
#include "measurement/OknoHistorie.h"
#include "settings/ConfigDir.h"
#include "ui/Ovladace.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalBlocker>

using namespace qx::ovladace;

namespace {

QLabel* nadpis(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h, int px,
               const char* barva, bool center) {
    QLabel* l = label(parent, name, text, x, y, w, h);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(px);
    f.setBold(true);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(barva)));
    if (center) l->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return l;
}

void barvaTextu(QLineEdit* e, bool ok) {
    QPalette p = e->palette();
    p.setColor(QPalette::Text, ok ? QColor(Qt::black) : QColor(Qt::red));
    e->setPalette(p);
}

bool jeEnter(QEvent* event) {
    if (event->type() != QEvent::KeyRelease) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

PanelMereni::PanelMereni(qx::MereniSluzba& sluzba, const qx::ErrorSink& chyby,
                         std::function<qx::MereniKontext()> kontext, int32_t& poradi, QWidget* parent)
    : QFrame(parent), sluzba_(sluzba), chyby_(chyby), kontext_(std::move(kontext)), poradi_(poradi),
      zaznam_(qx::journalDir()) {
    setObjectName(QStringLiteral("pnl_mereni"));
    setGeometry(0, 39, 409, 355);
    setFrameShape(QFrame::StyledPanel);

    lbl_mereni_soutez = nadpis(this, "lbl_mereni_soutez", QString(), 4, 4, 401, 24, 19, "red", true);
    SG_mereni = new StringGrid(7, 6, this);
    SG_mereni->setObjectName(QStringLiteral("SG_mereni"));
    SG_mereni->setGeometry(8, 30, 393, 148);
    SG_mereni->setRowCountWithTitle(10);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    SG_mereni->setFont(tahoma);

    lbl_mereni_aktual = nadpis(this, "lbl_mereni_aktual", QStringLiteral("Na základně se připravuje: "), 8,
                               180, 393, 16, 13, "blue", false);
    lbl_mereni_tym = nadpis(this, "lbl_mereni_tym", QString(), 4, 196, 401, 28, 24, "red", true);
    lbl_mereni_poradi = nadpis(this, "lbl_mereni_poradi", QString(), 4, 222, 401, 42, 37, "maroon", true);

    CB_mereni_cas = combo(this, "CB_mereni_cas", 8, 267, 145, {}, -1, 21);
    CB_mereni_cas->setEditable(true);
    CB_mereni_cas->setInsertPolicy(QComboBox::NoInsert);
    btn_mereni_ulozit = button(this, "btn_mereni_ulozit", QStringLiteral("Uložit"), 158, 267, 75);
    btn_mereni_historie = button(this, "btn_mereni_historie", QStringLiteral("Historie"), 326, 267, 75);
    btn_mereni_historie->setToolTip(QStringLiteral("Změny časů, výsledku a pořadí tohoto družstva"));

    lblMezicas = label(this, "lblMezicas", QStringLiteral("Mezičasy:"), 8, 293, 52);
    edtM1 = edit(this, "edtM1", 62, 291, 44, 32767);
    edtM2 = edit(this, "edtM2", 109, 291, 44, 32767);
    edtM3 = edit(this, "edtM3", 156, 291, 44, 32767);
    edtM4 = edit(this, "edtM4", 203, 291, 44, 32767);
    btnMezi = button(this, "btnMezi", QStringLiteral("Uložit"), 252, 290, 75);

    lbl_mereni_pripravi = nadpis(this, "lbl_mereni_pripravi", QString(), 8, 313, 393, 17, 13, "green", false);
    btn_mereni_prev = button(this, "btn_mereni_prev", QStringLiteral("Předchozí"), 8, 331, 90);
    btn_mereni_next = button(this, "btn_mereni_next", QStringLiteral("Další"), 311, 331, 90);

    // Picking an entry selects it; the box's text follows.
    connect(CB_mereni_cas, &QComboBox::activated, this, [this](int index) {
        vybrana_ = index;
        predchoziText_ = CB_mereni_cas->itemText(index);
        if (!plnim_) kontrolaCasu();
    });
    connect(CB_mereni_cas, &QComboBox::editTextChanged, this, &PanelMereni::casZmenen);
    CB_mereni_cas->lineEdit()->installEventFilter(this);
    for (QLineEdit* e : {edtM1, edtM2, edtM3, edtM4}) {
        connect(e, &QLineEdit::textChanged, this, &PanelMereni::kontrolaMezicasu);
        e->installEventFilter(this);
    }
    connect(btn_mereni_ulozit, &QPushButton::clicked, this, &PanelMereni::btn_mereni_ulozitClick);
    connect(btnMezi, &QPushButton::clicked, this, &PanelMereni::btnMeziClick);
    connect(btn_mereni_prev, &QPushButton::clicked, this, [this] { load_mereni(-1); });
    connect(btn_mereni_next, &QPushButton::clicked, this, [this] { load_mereni(1); });
    connect(SG_mereni, &QTableWidget::cellClicked, this, [this] { emit obnovit(); });
    connect(btn_mereni_historie, &QPushButton::clicked, this, &PanelMereni::btn_mereni_historieClick);
    connect(SG_mereni, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        // The first row of the table is the first result.
        if (row >= 0 && row < vysledky_.size()) {
            const qx::VysledekRadek& r = vysledky_[row];
            ukazHistorii(r.id,
                         r.nazev_dr + QStringLiteral(" (") + r.tym + QStringLiteral(") - ") + r.kategorie);
        }
    });
    kontrolaMezicasu(); // four empty fields: nothing to save yet

    // A journal that cannot be written is told once (until it works again), without a nested
    // event loop: the times keep coming and are kept in the list.
    zaznam_.onError = [this](const QString& chyba) {
        if (!zaznamBox_) {
            zaznamBox_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("zapisnik"),
                                         QStringLiteral("Přijaté časy nelze zapsat do záznamu."),
                                         QMessageBox::Ok, this);
            zaznamBox_->setObjectName(QStringLiteral("zaznamChybaBox"));
            zaznamBox_->setModal(false);
        }
        zaznamBox_->setInformativeText(chyba +
                                       QStringLiteral("\nČasy se přijímají dál a zůstávají v seznamu, "
                                                      "jen je po pádu programu nebude odkud obnovit."));
        zaznamBox_->show();
    };
    // The entries not saved before the program ended, whatever day they came.
    const QSignalBlocker block(CB_mereni_cas);
    for (const qx::PrijatyCas& c : zaznam_.nacti())
        pridejPolozku(c);
    CB_mereni_cas->setEditText(QString());
}

void PanelMereni::setSplitRowShown(bool shown) {
    for (QWidget* w : std::initializer_list<QWidget*>{lblMezicas, edtM1, edtM2, edtM3, edtM4, btnMezi})
        w->setVisible(shown);
}

// ------------------------------------------------------------------ operations

void PanelMereni::zobrazVysledky(const QList<qx::VysledekRadek>& radky) {
    QList<QStringList> cells;
    cells.reserve(radky.size());
    for (const qx::VysledekRadek& r : radky)
        cells.append(
            {r.pozice, r.nazev_dr, r.nazev_okresu, r.tym, r.kategorie, r.cas, QString::number(r.id)});
    SG_mereni->fill(10, cells);
    vysledky_ = radky;
    emit zmenaProWeb();
}

QStringList PanelMereni::prijateCasy() const {
    QStringList casy;
    for (int i = 0; i < CB_mereni_cas->count(); ++i)
        casy.append(CB_mereni_cas->itemText(i));
    return casy;
}

void PanelMereni::load_mereni(int kolik) {
    chyby_.run([this, kolik] {
        const qx::MereniPohled v = sluzba_.load_mereni(kontext_(), kolik, poradi_);
        id_akt_ = v.id_akt;
        lbl_mereni_tym->setText(v.lbl_mereni_tym);
        lbl_mereni_poradi->setText(v.lbl_mereni_poradi);
        setCasText(v.cas);
        edtM1->setText(v.mezicasy[0]);
        edtM2->setText(v.mezicasy[1]);
        edtM3->setText(v.mezicasy[2]);
        edtM4->setText(v.mezicasy[3]);
        lbl_mereni_pripravi->setText(v.lbl_mereni_pripravi);
        btn_mereni_prev->setEnabled(v.prevEnabled);
        btn_mereni_next->setEnabled(v.nextEnabled);
        pohled_ = v;
        emit aktualniTym(v.actualRadek1, v.actualRadek2);
        emit zmenaProWeb();
    });
}

void PanelMereni::load_mereni_poradi() {
    chyby_.run([this] { zobrazVysledky(sluzba_.load_mereni_poradi(kontext_())); });
}

void PanelMereni::zmena_nast() {
    QString chybne;
    chyby_.run([this, &chybne] {
        const qx::Prepocet p = sluzba_.zmena_nast(kontext_());
        zobrazVysledky(p.vysledky);
        chybne = qx::zpravaChybnychCasu(p.chybne);
    });
    load_mereni(0);
    if (!chybne.isEmpty()) chyby_.show(chybne);
}

// ------------------------------------------------------------------ the time box

void PanelMereni::setCasText(const QString& text) {
    plnim_ = true;
    CB_mereni_cas->setEditText(text);
    plnim_ = false;
}

void PanelMereni::casZmenen(const QString& text) {
    // A changed text is no longer the picked entry; the same text (a reload) keeps it picked.
    if (text != predchoziText_) vybrana_ = -1;
    predchoziText_ = text;
    if (!plnim_) kontrolaCasu();
}

void PanelMereni::kontrolaCasu() {
    const qx::MereniKontext k = kontext_();
    const bool ok = qx::Kontrola_formatu_casu(CB_mereni_cas->currentText(), k.nast, k.verze);
    btn_mereni_ulozit->setEnabled(ok);
    barvaTextu(CB_mereni_cas->lineEdit(), ok);
}

void PanelMereni::kontrolaMezicasu() {
    const bool ok = qx::Kontrola_formatu_mezicasu(mezicasy(), kontext_().verze);
    btnMezi->setEnabled(ok);
    for (QLineEdit* e : {edtM1, edtM2, edtM3, edtM4})
        barvaTextu(e, ok);
}

std::array<QString, 4> PanelMereni::mezicasy() const {
    return {edtM1->text(), edtM2->text(), edtM3->text(), edtM4->text()};
}

std::optional<qx::DruzstvoRadek> PanelMereni::videno() const {
    if (pohled_.id_akt == 0 || pohled_.id_akt != id_akt_) return std::nullopt;
    return pohled_.radek;
}

void PanelMereni::obnovVysledky() {
    chyby_.run([this] { zobrazVysledky(sluzba_.vysledky(kontext_())); });
}

void PanelMereni::btn_mereni_ulozitClick() {
    ulozCas(id_akt_, CB_mereni_cas->currentText());
}

bool PanelMereni::dokonciCekajiciUlozeni() {
    if (!cekajici_) return false;
    const CekajiciUlozeni c = *cekajici_;
    return ulozCas(c.id, c.text);
}

bool PanelMereni::ulozCas(qint64 id, const QString& text) {
    QString chybne;
    bool ponechat = false;
    const bool ok = chyby_.run([this, &chybne, &ponechat, id, &text] {
        // A text typed (or changed) by the operator is a manual entry; one picked from the
        // received times is a saved time.
        const qx::Pricina pricina = vybrana_ >= 0 ? qx::Pricina::Ulozeni : qx::Pricina::Rucne;
        // Stored only over the time the operator saw (a kept save of another team: over any).
        const std::optional<qx::DruzstvoRadek> vid = id == id_akt_ ? videno() : std::nullopt;
        qx::Prepocet p;
        try {
            p = sluzba_.save_cas(kontext_(), id, text, pricina, vid);
        } catch (const qx::KonfliktZaznamu& k) {
            if (!k.druzstvo || !konflikt || !konflikt(k.ulozeno(), text)) {
                ponechat = true;
                return;
            }
            p = sluzba_.save_cas(kontext_(), id, text, pricina, k.druzstvo);
        }
        zobrazVysledky(p.vysledky);
        chybne = qx::zpravaChybnychCasu(p.chybne);
    });
    if (ponechat) {
        // The stored time is shown; the received times stay in the list.
        cekajici_.reset();
        load_mereni(0);
        obnovVysledky();
        return false;
    }
    if (!ok) {
        // The server is away: the save waits for it; any other failure has been told.
        if (chyby_.posledniVypadek())
            cekajici_ = CekajiciUlozeni{id, text};
        else
            cekajici_.reset();
        return false;
    }
    cekajici_.reset();
    emit casUlozen(id);
    load_mereni(0);
    // An entry picked unchanged from the list and stored as it stands leaves the list, and the
    // journal.
    if (vybrana_ >= 0 && vybrana_ < CB_mereni_cas->count()) {
        const QSignalBlocker block(CB_mereni_cas);
        const QString text = CB_mereni_cas->currentText();
        zaznam_.odeber(CB_mereni_cas->itemData(vybrana_).toLongLong());
        CB_mereni_cas->removeItem(vybrana_);
        CB_mereni_cas->setEditText(text);
    }
    vybrana_ = -1;
    load_mereni(0);
    if (!chybne.isEmpty()) chyby_.show(chybne);
    return true;
}

void PanelMereni::btnMeziClick() {
    chyby_.run([this] {
        const std::array<QString, 4> m = mezicasy();
        try {
            sluzba_.ulozMezicasy(id_akt_, m, videno());
        } catch (const qx::KonfliktZaznamu& k) {
            const QString moje = QStringList{m[0], m[1], m[2], m[3]}.join(u' ');
            if (!k.druzstvo || !konflikt || !konflikt(k.ulozeno(), moje)) {
                load_mereni(0); // the stored splits are shown
                return;
            }
            sluzba_.ulozMezicasy(id_akt_, m, k.druzstvo);
        }
        // The next store of this team compares with what is stored now.
        if (pohled_.id_akt == id_akt_) {
            pohled_.radek.M1 = m[0];
            pohled_.radek.M2 = m[1];
            pohled_.radek.M3 = m[2];
            pohled_.radek.M4 = m[3];
        }
    });
}

void PanelMereni::btn_mereni_historieClick() {
    if (id_akt_ != 0) ukazHistorii(id_akt_, lbl_mereni_tym->text());
}

OknoHistorie* PanelMereni::ukazHistorii(qint64 id, const QString& druzstvo) {
    QList<qx::ZaznamZmeny> zaznamy;
    if (!chyby_.run([&] { zaznamy = sluzba_.historie(id); })) return nullptr;
    auto* okno = new OknoHistorie(druzstvo, zaznamy, this);
    okno->setAttribute(Qt::WA_DeleteOnClose);
    okno->show();
    return okno;
}

bool PanelMereni::eventFilter(QObject* watched, QEvent* event) {
    if (jeEnter(event)) {
        if (watched == CB_mereni_cas->lineEdit()) {
            if (btn_mereni_ulozit->isEnabled()) btn_mereni_ulozitClick();
        } else if (watched == edtM1) {
            edtM2->setFocus();
        } else if (watched == edtM2) {
            edtM3->setFocus();
        } else if (watched == edtM3) {
            edtM4->setFocus();
        } else if (watched == edtM4) {
            if (btnMezi->isEnabled()) btnMeziClick();
        }
    }
    return QFrame::eventFilter(watched, event);
}

// ------------------------------------------------------------------ messages

// The entry's journal number is its item data, the arrival time its tooltip.
void PanelMereni::pridejPolozku(const qx::PrijatyCas& cas) {
    CB_mereni_cas->addItem(cas.text, cas.id);
    CB_mereni_cas->setItemData(
        CB_mereni_cas->count() - 1,
        QStringLiteral("Přijato %1").arg(cas.prijato.toString(QStringLiteral("d. M. yyyy H:mm:ss"))),
        Qt::ToolTipRole);
}

// In the journal first, then in the list.
void PanelMereni::prijato(const QString& entry) {
    const qx::PrijatyCas cas = zaznam_.pridej(entry);
    const QSignalBlocker block(CB_mereni_cas);
    const QString text = CB_mereni_cas->currentText();
    pridejPolozku(cas);
    CB_mereni_cas->setEditText(text); // appending leaves the box's text as it was
    emit zmenaProWeb();
}

void PanelMereni::amCas1(int kod, qint64 pocet) {
    if (const std::optional<QString> entry = prijem_.amCas1(kod, pocet, kontext_().verze)) prijato(*entry);
}

void PanelMereni::amCas2(qint64 pocet) {
    prijato(prijem_.amCas2(pocet, kontext_().verze));
}

void PanelMereni::amMezi(int cislo, qint64 pocet) {
    const qx::MereniKontext k = kontext_();
    const qx::MezicasZmena z = qx::amMezi(cislo, pocet, k.verze, k.format);
    QLineEdit* pole[] = {edtM1, edtM2, edtM3, edtM4};
    switch (z.druh) {
    case qx::MezicasZmena::Druh::Vyprazdnit:
        for (QLineEdit* e : pole)
            e->clear();
        break;
    case qx::MezicasZmena::Druh::Nastavit:
        pole[z.pole]->setText(z.text);
        break;
    case qx::MezicasZmena::Druh::Nic:
        break;
    }
}
