#include "StringGrid.h"

#include "data/Registers.h"

#include <QHeaderView>
#include <QSignalBlocker>

StringGrid::StringGrid(int columns, int visible, QWidget* parent) : QTableWidget(parent) {
    setColumnCount(columns);
    for (int c = 0; c < columns; ++c) {
        setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
        setColumnHidden(c, c >= visible);
    }
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setFixedHeight(17);
    horizontalHeader()->setSectionsClickable(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    setRowHeights(15);

    // A press moves the current row first (one signal) and the release on the same row then
    // reports the click, which is signalled only when the press changed nothing.
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row < 0 || row == previous) return;
        signalledSincePress_ = true;
        emit rowClicked(row + 1);
    });
    connect(this, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (signalledSincePress_) return;
        emit rowClicked(row + 1);
    });
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    signalledSincePress_ = false;
    QTableWidget::mousePressEvent(event);
}

void StringGrid::setRowHeights(int px) {
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(px);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int r = 0; r < rowCount(); ++r)
        setRowHeight(r, px);
}

void StringGrid::setRowCountWithTitle(int n) {
    setRowCount(std::max(0, n - 1));
}

QString StringGrid::Cells(int col, int row) const {
    if (row == 0) {
        const QTableWidgetItem* h = horizontalHeaderItem(col);
        return h ? h->text() : QString();
    }
    const QTableWidgetItem* it = item(row - 1, col);
    return it ? it->text() : QString();
}

void StringGrid::setCells(int col, int row, const QString& text) {
    if (row == 0) {
        horizontalHeaderItem(col)->setText(text);
        return;
    }
    if (QTableWidgetItem* it = item(row - 1, col))
        it->setText(text);
    else
        setItem(row - 1, col, new QTableWidgetItem(text));
}

int StringGrid::Row() const {
    const int r = currentRow();
    return r >= 0 ? r + 1 : 1;
}

void StringGrid::setRow(int row) {
    if (row >= 1 && row <= rowCount()) setCurrentCell(row - 1, 0);
}

void StringGrid::fill(int minimum, const QList<QStringList>& rows) {
    const QSignalBlocker block(this);
    const int keep = Row();
    setRowCountWithTitle(qx::gridRowCount(minimum, rows.size()));
    for (int r = 1; r < RowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            setCells(c, r, QString());
    for (int k = 0; k < rows.size(); ++k)
        for (int c = 0; c < columnCount() && c < rows[k].size(); ++c)
            setCells(c, k + 1, rows[k][c]);
    setRowHeights(15);
    // The current row stays where it was, within the new row count.
    setRow(std::min(keep, RowCount() - 1));
    if (auto* sm = selectionModel())
        sm->select(model()->index(currentRow(), 0),
                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
