#pragma once

// A grid of text cells with one title row (row 0, drawn as the header) and data
// rows from 1. Columns beyond the visible ones carry data unseen.

#include <QList>
#include <QStringList>
#include <QTableWidget>

class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    // columns: all columns; visible: how many of them, from the left, are shown.
    StringGrid(int columns, int visible, QWidget* parent = nullptr);

    // Row count including the title row.
    int RowCount() const { return rowCount() + 1; }
    void setRowCountWithTitle(int n);

    // Cell text by column and row; row 0 is the title row.
    QString Cells(int col, int row) const;
    void setCells(int col, int row, const QString& text);

    // The current data row (1 when none is current yet).
    int Row() const;
    void setRow(int row);

    // Sets the row count to the larger of minimum and data rows + 1, empties
    // every data cell, fills the rows and makes every row 15 pixels high.
    void fill(int minimum, const QList<QStringList>& rows);

    void setRowHeights(int px);

signals:
    // The operator clicked a data row, also the current one, or moved to another row with the
    // keyboard: one signal for each, with the row. A click that also changes the current row
    // gives one signal, not two. fill() gives none.
    void rowClicked(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Set when a change of the current row has been signalled since the last mouse press.
    bool signalledSincePress_ = false;
};
