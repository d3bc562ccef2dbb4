#pragma once

#include <QComboBox>

#include <functional>

class QAbstractButton;

// The times list `CBCas`: every result received during the program run, one entry per lane
// time or per attack, in arrival order. Picking an entry puts it on the clipboard with its
// blanks turned into tabs (ready for a spreadsheet); `btnDel` deletes the picked entry.
// Every key press is first handed to the console's key handler, so the space bar takes a
// split time while the list has the focus; the space bar never opens the list's popup.
class TimesList : public QComboBox {
    Q_OBJECT
public:
    explicit TimesList(QWidget* parent = nullptr);

    // The console's key handler; called for every key press before the list's own handling.
    std::function<void(int key, Qt::KeyboardModifiers)> onKeyDown;

    // The delete button, enabled exactly when the picked entry is not empty.
    void setDeleteButton(QAbstractButton* button);

    // Appends an entry (the list is never sorted).
    void appendEntry(const QString& text);

    // Selection handler: the picked entry to the clipboard, the delete button's state.
    void CBCasChange();
    // Deletes the picked entry; nothing stays picked and the clipboard is emptied.
    void btnDelClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QAbstractButton* m_btnDel = nullptr;
};
