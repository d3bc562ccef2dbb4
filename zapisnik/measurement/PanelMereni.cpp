#include "measurement/PanelMereni.h"

#include "ui/Ovladace.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

} // namespace

PanelMereni::PanelMereni(QWidget* parent) : QFrame(parent) {
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

    lblMezicas = label(this, "lblMezicas", QStringLiteral("Mezičasy:"), 8, 293, 52);
    edtM1 = edit(this, "edtM1", 62, 291, 44, 32767);
    edtM2 = edit(this, "edtM2", 109, 291, 44, 32767);
    edtM3 = edit(this, "edtM3", 156, 291, 44, 32767);
    edtM4 = edit(this, "edtM4", 203, 291, 44, 32767);
    btnMezi = button(this, "btnMezi", QStringLiteral("Uložit"), 252, 290, 75);

    lbl_mereni_pripravi = nadpis(this, "lbl_mereni_pripravi", QString(), 8, 313, 393, 17, 13, "green", false);
    btn_mereni_prev = button(this, "btn_mereni_prev", QStringLiteral("Předchozí"), 8, 331, 90);
    btn_mereni_next = button(this, "btn_mereni_next", QStringLiteral("Další"), 311, 331, 90);
}

void PanelMereni::setSplitRowShown(bool shown) {
    for (QWidget* w : std::initializer_list<QWidget*>{lblMezicas, edtM1, edtM2, edtM3, edtM4, btnMezi})
        w->setVisible(shown);
}
