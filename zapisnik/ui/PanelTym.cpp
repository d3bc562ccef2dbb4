#include "PanelTym.h"

#include "Ovladace.h"

#include <QSignalBlocker>

using namespace qx::ovladace;

PanelTym::PanelTym(qx::RegistrData& data, const qx::ErrorSink& chyby, QWidget* parent)
    : QFrame(parent), data_(data), chyby_(chyby) {
    setObjectName(QStringLiteral("pnl_tym"));
    setGeometry(0, 215, 409, 98);
    setFrameShape(QFrame::StyledPanel);
    label(this, "Label1", QStringLiteral("Okres:"), 8, 9, 34);
    CB_tym_okres = combo(this, "CB_tym_okres", 44, 7, 158);
    label(this, "lbl_tym_smazat", QStringLiteral("Smazat SDH:"), 208, 9, 68);
    CB_tym_smazat = combo(this, "CB_tym_smazat", 277, 7, 126);
    label(this, "lbl_tym_SDH", QStringLiteral("Vložit SDH:"), 208, 37, 60);
    edt_tym_novy = edit(this, "edt_tym_novy", 271, 35, 132, 50);
    SB_tym_smazat = button(this, "SB_tym_smazat", QStringLiteral("Smazat tým"), 6, 70, 195);
    SB_tym_smazat->setEnabled(false);
    SB_tym_novy = button(this, "SB_tym_novy", QStringLiteral("Nový tým"), 208, 70, 195, 21, true);
    SB_tym_novy->setEnabled(false);

    connect(CB_tym_okres, &QComboBox::activated, this, &PanelTym::CB_tym_okresChange);
    connect(CB_tym_smazat, &QComboBox::activated, this, &PanelTym::CB_tym_smazatChange);
    // Every change of the text, also when the program empties it.
    connect(edt_tym_novy, &QLineEdit::textChanged, this, &PanelTym::edt_tym_novyChange);
    connect(SB_tym_novy, &QPushButton::clicked, this, &PanelTym::SB_tym_novyClick);
    connect(SB_tym_smazat, &QPushButton::clicked, this, &PanelTym::SB_tym_smazatClick);
}

void PanelTym::setDuplicitni(bool on) {
    duplicitni_ = on;
    QPalette p = edt_tym_novy->palette();
    p.setColor(QPalette::Text, on ? QColor(Qt::red) : QColor(Qt::black));
    edt_tym_novy->setPalette(p);
}

void PanelTym::CB_tym_okresChange() {
    chyby_.run([this] {
        const QStringList obce = data_.load_obce(CB_tym_okres->currentText());
        {
            const QSignalBlocker block(CB_tym_smazat);
            fillCombo(CB_tym_smazat, obce);
        }
        // A name typed before the district was chosen is checked against the
        // new district, so that "Nový tým" never inserts a duplicate.
        edt_tym_novyChange();
        emit obnovit();
    });
}

void PanelTym::obnovZJinych() {
    if (CB_tym_okres->currentText().isEmpty()) return;
    chyby_.run([this] {
        const QString zvolena = CB_tym_smazat->currentText();
        const QStringList obce = data_.load_obce(CB_tym_okres->currentText());
        {
            const QSignalBlocker block(CB_tym_smazat);
            fillCombo(CB_tym_smazat, obce);
            if (const int i = CB_tym_smazat->findText(zvolena); i >= 0) CB_tym_smazat->setCurrentIndex(i);
        }
        CB_tym_smazatChange();
        edt_tym_novyChange();
    });
}

void PanelTym::CB_tym_smazatChange() {
    SB_tym_smazat->setEnabled(!CB_tym_smazat->currentText().isEmpty());
}

void PanelTym::edt_tym_novyChange() {
    chyby_.run([this] {
        const QString text = edt_tym_novy->text();
        const bool dup = data_.obec_existuje(CB_tym_okres->currentText(), text);
        setDuplicitni(dup);
        SB_tym_novy->setEnabled(!dup && !text.isEmpty());
    });
}

void PanelTym::SB_tym_novyClick() {
    chyby_.run([this] {
        const QString okres = CB_tym_okres->currentText();
        data_.insert_obec(okres, edt_tym_novy->text());
        edt_tym_novy->clear(); // its change handler disables "Nový tým"
        const QStringList obce = data_.load_obce(okres);
        const QSignalBlocker block(CB_tym_smazat);
        fillCombo(CB_tym_smazat, obce);
    });
}

void PanelTym::SB_tym_smazatClick() {
    const int i = CB_tym_smazat->currentIndex();
    // With nothing chosen there is nothing to delete (the button keeps its
    // state after a deletion, and must not then delete unnamed rows).
    if (i < 0) return;
    chyby_.run([this, i] {
        data_.delete_obec(CB_tym_okres->currentText(), CB_tym_smazat->itemText(i));
        const QSignalBlocker block(CB_tym_smazat);
        CB_tym_smazat->removeItem(i);
        CB_tym_smazat->setCurrentIndex(-1);
    });
}
