#pragma once

// What zapisnik's window tests share: finding a control by its name, choosing in a list as the
// operator does, clicking grid rows, reading a grid column.

#include "ui/StringGrid.h"

#include <QComboBox>
#include <QStringList>
#include <QTest>

// Finds the control `name` of the window `frm` (any depth) or fails the test.
#define FIND(Type, var, name)                                                                                \
    auto* var = frm->findChild<Type*>(QStringLiteral(name));                                                 \
    QVERIFY2(var, name " not found")

namespace zapfix {

// Chooses `text` in a drop-down list as the operator does (the list's change action runs).
inline void choose(QComboBox* cb, const QString& text) {
    const int i = cb->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    cb->setCurrentIndex(i);
    emit cb->activated(i);
}

inline void clickRow(StringGrid* grid, int row) {
    const QRect r = grid->visualRect(grid->model()->index(row - 1, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(grid->Row(), row);
}

inline void doubleClickRow(StringGrid* grid, int row) {
    clickRow(grid, row);
    const QRect r = grid->visualRect(grid->model()->index(row - 1, 0));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, r.center());
}

// The texts of one column, from row 1 down to the first row with an empty first cell.
inline QStringList column(StringGrid* grid, int col) {
    QStringList out;
    for (int r = 1; r < grid->RowCount() && !grid->Cells(0, r).isEmpty(); ++r)
        out << grid->Cells(col, r);
    return out;
}

} // namespace zapfix
