#include "measurement/OknoHistorie.h"

#include "measurement/Zmeny.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

OknoHistorie::OknoHistorie(const QString& druzstvo, const QList<qx::ZaznamZmeny>& zaznamy, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("OknoHistorie"));
    setWindowTitle(QStringLiteral("Historie změn – ") + druzstvo);
    resize(640, 360);
    auto* layout = new QVBoxLayout(this);
    auto* nadpis = new QLabel(druzstvo, this);
    nadpis->setObjectName(QStringLiteral("lbl_historie_tym"));
    layout->addWidget(nadpis);

    tabulka = new QTableWidget(int(zaznamy.size()), 6, this);
    tabulka->setObjectName(QStringLiteral("SG_historie"));
    tabulka->setHorizontalHeaderLabels({QStringLiteral("Čas"), QStringLiteral("Údaj"),
                                        QStringLiteral("Původně"), QStringLiteral("Nově"),
                                        QStringLiteral("Příčina"), QStringLiteral("Počítač")});
    tabulka->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabulka->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabulka->verticalHeader()->hide();
    for (int r = 0; r < zaznamy.size(); ++r) {
        const QStringList bunky = qx::bunkyZmeny(zaznamy[r]);
        for (int c = 0; c < bunky.size(); ++c)
            tabulka->setItem(r, c, new QTableWidgetItem(bunky[c]));
    }
    tabulka->resizeColumnsToContents();
    tabulka->horizontalHeader()->setStretchLastSection(true);
    if (!zaznamy.isEmpty()) tabulka->scrollToBottom();
    layout->addWidget(tabulka);
    if (zaznamy.isEmpty()) {
        auto* prazdno = new QLabel(QStringLiteral("U tohoto družstva nejsou zaznamenané žádné změny."), this);
        prazdno->setObjectName(QStringLiteral("lbl_historie_prazdna"));
        layout->addWidget(prazdno);
    }
    auto* tlacitka = new QDialogButtonBox(QDialogButtonBox::Close, this);
    tlacitka->button(QDialogButtonBox::Close)->setText(QStringLiteral("Zavřít"));
    connect(tlacitka, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(tlacitka);
}
