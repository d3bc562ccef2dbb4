#include "ui/Ovladace.h"

#include "data/Registers.h"

#include <QSignalBlocker>

namespace qx::ovladace {

void load_CB(const QString& nazev, QComboBox* CB) {
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

} // namespace qx::ovladace
