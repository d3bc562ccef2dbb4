#include "ui/Ovladace.h"

#include "data/Registers.h"

#include <QSignalBlocker>

namespace qx::ovladace {

void odeberZastupce(QComboBox* CB) {
    const QSignalBlocker block(CB);
    const int current = CB->currentIndex();
    bool currentRemoved = false;
    for (int i = CB->count() - 1; i >= 0; --i) {
        if (!CB->itemData(i, kStandInRole).toBool()) continue;
        currentRemoved = currentRemoved || i == current;
        CB->removeItem(i);
    }
    if (currentRemoved) CB->setCurrentIndex(-1);
}

void load_CB(const QString& nazev, QComboBox* CB) {
    // A stand-in added for an earlier value goes first.
    odeberZastupce(CB);
    const QSignalBlocker block(CB);
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

} // namespace qx::ovladace
