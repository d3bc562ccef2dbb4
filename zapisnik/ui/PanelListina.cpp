#include "PanelListina.h"

#include "Ovladace.h"
#include "data/Tdm_QX.h"

#include <QApplication>
#include <QSignalBlocker>

using namespace qx::ovladace;

namespace {
const QString kUlozit = QStringLiteral("Uložit");
const QString kVlozit = QStringLiteral("Vložit");
} // namespace

PanelListina::PanelListina(qx::RegistrData& data, const qx::ErrorSink& chyby,
                           std::function<qx::MereniKontext()> kontext, QWidget* parent)
    : QFrame(parent), data_(data), chyby_(chyby), kontext_(std::move(kontext)) {
    setObjectName(QStringLiteral("pnl_listina"));
    setGeometry(0, 39, 409, 355);
    setFrameShape(QFrame::StyledPanel);
    SB_listina_novy_tym =
        button(this, "SB_listina_novy_tym", QStringLiteral("Nový tým"), 6, 4, 195, 21, true);
    btn_listina_smazat_tym =
        button(this, "btn_listina_smazat_tym", QStringLiteral("Smazat tým"), 208, 4, 195);
    btn_listina_smazat_tym->setEnabled(false);
    lbl_listina_okres =
        label(this, "lbl_listina_okres", QStringLiteral("Vyberte okres družstva:"), 8, 33, 118);
    CB_listina_okres = combo(this, "CB_listina_okres", 127, 31, 276);

    pnl_listina_detail = make<QFrame>(this, "pnl_listina_detail", 0, 53, 409, 66);
    pnl_listina_detail->setFrameShape(QFrame::NoFrame);
    QWidget* d = pnl_listina_detail;
    label(d, "lbl_listina_poradi", QStringLiteral("Pořadí:"), 8, 5, 40);
    edt_listina_poradi = edit(d, "edt_listina_poradi", 48, 3, 31, 5);
    label(d, "lbl_listina_nazevSDH", QStringLiteral("Název SDH:"), 86, 5, 60);
    CB_listina_nazevSDH = comboSPsanim(d, "CB_listina_nazevSDH", 146, 3, 158, 50);
    label(d, "lbl_listina_tym", QStringLiteral("Tým:"), 312, 5, 28);
    edt_listina_tym = edit(d, "edt_listina_tym", 340, 3, 49, 10);
    label(d, "lbl_lisitna_kat", QStringLiteral("Kategorie:"), 8, 31, 54);
    CB_listina_kat = comboSPsanim(d, "CB_listina_kat", 62, 29, 59, 60);
    label(d, "lbl_listina_draha", QStringLiteral("Dráha:"), 128, 31, 36);
    edt_listina_draha = edit(d, "edt_listina_draha", 164, 29, 112, 10);
    btn_listina_ulozit = button(d, "btn_listina_ulozit", kUlozit, 287, 28, 116);
    setTabOrder(edt_listina_poradi, CB_listina_nazevSDH);
    setTabOrder(CB_listina_nazevSDH, edt_listina_tym);
    setTabOrder(edt_listina_tym, CB_listina_kat);
    setTabOrder(CB_listina_kat, edt_listina_draha);
    setTabOrder(edt_listina_draha, btn_listina_ulozit);

    SG_listina = new StringGrid(7, 5, this);
    SG_listina->setObjectName(QStringLiteral("SG_listina"));
    SG_listina->setGeometry(8, 123, 393, 228);
    SG_listina->setRowCountWithTitle(15);

    connect(SB_listina_novy_tym, &QPushButton::clicked, this, &PanelListina::SB_listina_novy_tymClick);
    connect(CB_listina_okres, &QComboBox::activated, this, &PanelListina::CB_listina_okresChange);
    connect(btn_listina_ulozit, &QPushButton::clicked, this, &PanelListina::btn_listina_ulozitClick);
    connect(btn_listina_smazat_tym, &QPushButton::clicked, this, &PanelListina::btn_listina_smazat_tymClick);
    // Any click on a row, also on the current one, shows that row's entry anew.
    connect(SG_listina, &StringGrid::rowClicked, this, &PanelListina::SG_listinaClick);
}

// ------------------------------------------------------------------ operations

std::optional<qint64> PanelListina::aktualniId() const {
    const int row = SG_listina->Row();
    if (row < 1 || row > radky_.size()) return std::nullopt;
    return radky_[row - 1].id;
}

void PanelListina::load_obce() {
    fillCombo(CB_listina_nazevSDH, data_.load_obce(CB_listina_okres->currentText()));
}

void PanelListina::setOkresy(const QStringList& okresy) {
    const QSignalBlocker block(CB_listina_okres);
    CB_listina_okres->clear();
    CB_listina_okres->addItem(QString());
    CB_listina_okres->addItems(okresy);
    CB_listina_okres->setCurrentIndex(-1);
}

void PanelListina::setKategorie(const QStringList& kategorie) {
    const QSignalBlocker block(CB_listina_kat);
    CB_listina_kat->clear();
    CB_listina_kat->addItem(QString());
    CB_listina_kat->addItems(kategorie);
    CB_listina_kat->setCurrentIndex(-1);
}

void PanelListina::load_listina() {
    const qx::MereniKontext k = kontext_();
    radky_ = data_.load_listina(k.idSoutez.toLongLong(), k.kategorie);
    QList<QStringList> cells;
    cells.reserve(radky_.size());
    for (const qx::DruzstvoRadek& d : radky_)
        cells.append(
            {d.poradi, d.nazev_dr, d.nazev_okresu, d.tym, d.kategorie, d.draha, QString::number(d.id)});
    SG_listina->fill(15, cells);
    emit listinaNactena(int(radky_.size()));
}

qx::Druzstvo PanelListina::pole() const {
    return qx::Druzstvo{edt_listina_poradi->text(),      CB_listina_nazevSDH->currentText(),
                        CB_listina_okres->currentText(), edt_listina_tym->text(),
                        CB_listina_kat->currentText(),   edt_listina_draha->text()};
}

void PanelListina::save_listina() {
    const qx::Druzstvo d = pole();
    const std::optional<qint64> id = vlozit_ ? std::nullopt : aktualniId();
    if (!vlozit_ && !id) return; // an empty row has no entry to rewrite
    if (!id) {
        data_.save_listina(id, kontext_().idSoutez.toLongLong(), d);
        SB_listina_novy_tym->setChecked(false);
    } else {
        // Written only over the entry as this computer showed it.
        const qx::DruzstvoRadek videno = radky_[SG_listina->Row() - 1];
        try {
            data_.save_listina(videno, d);
        } catch (const qx::KonfliktZaznamu& k) {
            qx::DruzstvoRadek moje = videno;
            moje.poradi = d.poradi;
            moje.nazev_dr = d.nazev_dr;
            moje.nazev_okresu = d.okres;
            moje.tym = d.tym;
            moje.kategorie = d.kategorie;
            moje.draha = d.draha;
            if (k.druzstvo && konflikt && konflikt(k.ulozeno(), qx::popisRadku(moje)))
                data_.save_listina(*k.druzstvo, d);
            else if (k.smazano())
                throw;
        }
    }
    load_listina();
}

void PanelListina::delete_listina() {
    if (aktualniId()) {
        const qx::DruzstvoRadek videno = radky_[SG_listina->Row() - 1];
        try {
            data_.delete_listina(videno);
        } catch (const qx::KonfliktZaznamu& k) {
            // Deleted meanwhile: what the operator wanted is done.
            if (k.druzstvo && konflikt && konflikt(k.ulozeno(), QStringLiteral("smazat")))
                data_.delete_listina(*k.druzstvo);
        }
    }
    load_listina();
}

bool PanelListina::poleNezmenena(const qx::DruzstvoRadek& r) const {
    if (pnl_listina_detail->isAncestorOf(QApplication::focusWidget())) return false;
    const qx::Druzstvo d = pole();
    return d.poradi == r.poradi && d.nazev_dr == r.nazev_dr && d.okres == r.nazev_okresu && d.tym == r.tym &&
           d.kategorie == r.kategorie && d.draha == r.draha;
}

void PanelListina::obnovZJinych() {
    const std::optional<qint64> id = aktualniId();
    const std::optional<qx::DruzstvoRadek> pred =
        id ? std::optional<qx::DruzstvoRadek>(radky_[SG_listina->Row() - 1]) : std::nullopt;
    // A new entry being typed, or fields the operator has changed, stay as they are.
    const bool obnovitPole = !SB_listina_novy_tym->isChecked() && (!pred || poleNezmenena(*pred));
    load_listina();
    if (id) {
        for (qsizetype i = 0; i < radky_.size(); ++i) {
            if (radky_[i].id != *id) continue;
            const QSignalBlocker block(SG_listina);
            SG_listina->setRow(int(i) + 1);
            break;
        }
    }
    if (obnovitPole) obnov();
}

// ------------------------------------------------------------------ refresh

void PanelListina::obnov() {
    const int row = SG_listina->Row();
    const bool entryRow = !SG_listina->Cells(0, row).isEmpty();
    vlozit_ = SB_listina_novy_tym->isChecked();
    if (vlozit_) {
        // A new entry is offered the registers' districts, brigades and categories only.
        for (QComboBox* cb : {CB_listina_okres, CB_listina_nazevSDH, CB_listina_kat})
            odeberZastupce(cb);
        btn_listina_ulozit->setText(kVlozit);
        btn_listina_smazat_tym->setEnabled(false);
        edt_listina_poradi->clear();
        edt_listina_tym->clear();
        edt_listina_draha->clear();
        CB_listina_nazevSDH->setCurrentIndex(-1);
        // A new entry gets the category being worked on.
        CB_listina_kat->setCurrentIndex(CB_listina_kat->findText(kontext_().kategorie));
        lbl_listina_okres->show();
        CB_listina_okres->show();
        pnl_listina_detail->setVisible(!CB_listina_okres->currentText().isEmpty());
        return;
    }
    btn_listina_ulozit->setText(kUlozit);
    btn_listina_smazat_tym->setEnabled(entryRow);
    edt_listina_poradi->setText(SG_listina->Cells(0, row));
    load_CB(SG_listina->Cells(2, row), CB_listina_okres);
    load_obce();
    load_CB(SG_listina->Cells(1, row), CB_listina_nazevSDH);
    edt_listina_tym->setText(SG_listina->Cells(3, row));
    load_CB(SG_listina->Cells(4, row), CB_listina_kat);
    edt_listina_draha->setText(SG_listina->Cells(5, row));
    const bool show = entryRow || !CB_listina_okres->currentText().isEmpty();
    lbl_listina_okres->setVisible(show);
    CB_listina_okres->setVisible(show);
    pnl_listina_detail->setVisible(show);
}

// ------------------------------------------------------------------ handlers

void PanelListina::SB_listina_novy_tymClick() {
    chyby_.run([this] {
        if (SB_listina_novy_tym->isChecked()) CB_listina_okres->setCurrentIndex(-1);
        emit obnovit();
    });
}

void PanelListina::CB_listina_okresChange() {
    chyby_.run([this] {
        load_obce();
        emit obnovit();
    });
}

void PanelListina::btn_listina_ulozitClick() {
    chyby_.run([this] {
        save_listina();
        emit obnovit();
    });
}

void PanelListina::btn_listina_smazat_tymClick() {
    chyby_.run([this] {
        delete_listina();
        emit obnovit();
    });
}

void PanelListina::SG_listinaClick() {
    chyby_.run([this] { emit obnovit(); });
}
