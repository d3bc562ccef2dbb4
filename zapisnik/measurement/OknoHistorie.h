#pragma once

// The history of one team: every recorded change of its times, splits, result and placing, oldest
// first, with the time, the column, the old and new value, the cause and the computer. A plain
// window that shows what it is given and stays open beside the main window.

#include "data/RadekZmeny.h"

#include <QDialog>
#include <QList>

class QTableWidget;

class OknoHistorie : public QDialog {
    Q_OBJECT
public:
    OknoHistorie(const QString& druzstvo, const QList<qx::ZaznamZmeny>& zaznamy, QWidget* parent);

    QTableWidget* tabulka;
};
