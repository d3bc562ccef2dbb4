#include "PanelNastaveni.h"

#include "Nastaveni.h"
#include "ui/Ovladace.h"

#include <QCheckBox>
#include <QSignalBlocker>

using namespace qx::ovladace;

PanelNastaveni::PanelNastaveni(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("pnl_nast"));
    setGeometry(0, 39, 409, 156);
    setFrameShape(QFrame::StyledPanel);
    QWidget* p = this;
    label(p, "lbl_nast_kat", QStringLiteral("Kategorie:"), 6, 9, 51);
    CB_nast_kat = combo(p, "CB_nast_kat", 58, 7, 62);
    label(p, "lbl_nast_kolo", QStringLiteral("Fáze soutěže:"), 126, 9, 70);
    CB_nast_kolo = combo(p, "CB_nast_kolo", 196, 7, 64, {QStringLiteral("1. kolo"), qx::kKolo2}, 0);
    label(p, "lbl_nast_cas", QStringLiteral("Výsledný čas:"), 264, 9, 69);
    CB_nast_cas =
        combo(p, "CB_nast_cas", 333, 7, 70,
              {QString(), QStringLiteral("lepší"), QStringLiteral("finálový"), QStringLiteral("součet")});
    label(p, "lbl_nast_export", QStringLiteral("Export:"), 6, 36, 36);
    CB_nast_stafeta = make<QCheckBox>(p, "CB_nast_stafeta", 43, 35, 62, 19);
    CB_nast_stafeta->setText(QStringLiteral("štafeta"));
    label(p, "lbl_nast_disciplina", QStringLiteral("Disciplína:"), 112, 36, 52);
    CB_nast_disciplina =
        combo(p, "CB_nast_disciplina", 165, 34, 70, {qx::kDisciplinaUtok, QStringLiteral("štafeta")}, 0);
    label(p, "lbl_nast_format", QStringLiteral("Formát času: "), 244, 36, 68);
    CBFormat = combo(p, "CBFormat", 313, 34, 90, {QStringLiteral("setiny"), QStringLiteral("tisíciny")}, 0);
    label(p, "lbl_nast_mezicas", QStringLiteral("V exportu pdf zobrazit mezičasy:"), 6, 63, 160);
    CB_mezicas = combo(p, "CB_mezicas", 168, 61, 50, {QStringLiteral("Ano"), QStringLiteral("Ne")}, 1);
    label(p, "lbl_nast_mezicas2", QStringLiteral("(pouze pro první kolo útoku)"), 224, 63, 150);
    label(p, "lbl_nast_poradatel", QStringLiteral("Název SDH pro tisk:"), 6, 90, 100);
    edtPoradatel = edit(p, "edtPoradatel", 108, 88, 295, 55);
    label(p, "lbl_nast_mezi", QStringLiteral("Označení mezičasů:"), 6, 117, 101);
    edtM1nast = edit(p, "edtM1nast", 108, 115, 50, 8);
    edtM2nast = edit(p, "edtM2nast", 161, 115, 50, 8);
    edtM3Nast = edit(p, "edtM3Nast", 214, 115, 50, 8);
    edtM4Nast = edit(p, "edtM4Nast", 267, 115, 50, 8);
    btNPoradatel = button(p, "btNPoradatel", QStringLiteral("Uložit"), 326, 114, 77);

    // Only the operator's choices run the change actions; the program's own
    // selections (the category list's reload, AM_Form) do not.
    connect(CB_nast_kat, &QComboBox::activated, this, &PanelNastaveni::kategorieZmenena);
    for (QComboBox* c : {CB_nast_kolo, CB_nast_cas, CBFormat, CB_mezicas})
        connect(c, &QComboBox::activated, this, &PanelNastaveni::obnovit);
    connect(CB_nast_disciplina, &QComboBox::activated, this, &PanelNastaveni::CB_nast_disciplinaChange);
    connect(btNPoradatel, &QPushButton::clicked, this, &PanelNastaveni::btNPoradatelClick);
}

void PanelNastaveni::obnov() {
    if (qx::vyslednyCasVolitelny(CB_nast_kolo->currentText())) {
        CB_nast_cas->setEnabled(true);
    } else {
        CB_nast_cas->setEnabled(false);
        CB_nast_cas->setCurrentIndex(0);
    }
}

qx::MereniKontext PanelNastaveni::kontext(qx::MereniKontext k) const {
    k.kategorie = CB_nast_kat->currentText();
    k.kolo = qx::koloZTextu(CB_nast_kolo->currentText());
    k.rezim = qx::rezimZIndexu(CB_nast_cas->currentIndex());
    k.format = CBFormat->currentIndex() == 1 ? 1 : 0;
    k.stafetaExport = CB_nast_stafeta->isChecked();
    k.mezicasy = CB_mezicas->currentIndex() == 0;
    k.mezicasTitulky = {edtM1nast->text(), edtM2nast->text(), edtM3Nast->text(), edtM4Nast->text()};
    k.poradatel = edtPoradatel->text();
    return k;
}

void PanelNastaveni::setKategorie(const QStringList& kategorie) {
    const QString remembered = CB_nast_kat->currentText();
    const QSignalBlocker block(CB_nast_kat);
    CB_nast_kat->clear();
    CB_nast_kat->addItem(QString());
    CB_nast_kat->setCurrentIndex(-1);
    for (int k = 0; k < kategorie.size(); ++k) {
        CB_nast_kat->addItem(kategorie[k]);
        if (kategorie[k] == remembered) CB_nast_kat->setCurrentIndex(k + 1);
    }
}

void PanelNastaveni::zamkniFormat(int format) {
    const QSignalBlocker block(CBFormat);
    if (format == 0 || format == 1) CBFormat->setCurrentIndex(format);
    CBFormat->setEnabled(false);
}

qx::QxDbIni PanelNastaveni::nastaveni() const {
    qx::QxDbIni ini;
    ini.poradatel = edtPoradatel->text();
    ini.mezicas = CB_mezicas->currentIndex();
    ini.m1 = edtM1nast->text();
    ini.m2 = edtM2nast->text();
    ini.m3 = edtM3Nast->text();
    ini.m4 = edtM4Nast->text();
    return ini;
}

void PanelNastaveni::nactiNastaveni(const qx::QxDbIni& ini) {
    edtPoradatel->setText(ini.poradatel);
    // A value outside 0 and 1 leaves the list without a choice.
    CB_mezicas->setCurrentIndex(ini.mezicas == 0 || ini.mezicas == 1 ? ini.mezicas : -1);
    edtM1nast->setText(ini.m1);
    edtM2nast->setText(ini.m2);
    edtM3Nast->setText(ini.m3);
    edtM4Nast->setText(ini.m4);
}

void PanelNastaveni::CB_nast_disciplinaChange() {
    emit disciplinaZmenena(qx::nastZDiscipliny(CB_nast_disciplina->currentText()));
}

bool PanelNastaveni::btNPoradatelClick() {
    QString error;
    if (qx::writeQxDbIni(qx::qxDbIniPath(), nastaveni(), &error)) return true;
    emit chyba(error);
    return false;
}
