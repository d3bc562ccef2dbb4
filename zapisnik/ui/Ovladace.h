#pragma once

// Small builders for the controls of the window's panels: every control gets
// its object name and its place in pixels.

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>

namespace qx::ovladace {

template <class W> W* make(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* widget = new W(parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

inline QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                     int h = 17) {
    auto* l = make<QLabel>(parent, name, x, y, w, h);
    l->setText(text);
    return l;
}

inline QPushButton* button(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                           int h = 21, bool toggle = false) {
    auto* b = make<QPushButton>(parent, name, x, y, w, h);
    b->setText(text);
    b->setCheckable(toggle);
    return b;
}

inline QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w, int maxLength, int h = 19) {
    auto* e = make<QLineEdit>(parent, name, x, y, w, h);
    e->setMaxLength(maxLength);
    return e;
}

inline QComboBox* combo(QWidget* parent, const char* name, int x, int y, int w, const QStringList& items = {},
                        int index = -1, int h = 19) {
    auto* c = make<QComboBox>(parent, name, x, y, w, h);
    c->addItems(items);
    c->setCurrentIndex(index);
    c->setMaxVisibleItems(20);
    return c;
}

// A drop-down list that also takes a typed text (the lists not marked "no typing"): what the box
// shows, chosen or typed, is its currentText(). A typed text is not added to the list, and
// nothing is completed while typing, so the text saved is the text typed.
inline QComboBox* comboSPsanim(QWidget* parent, const char* name, int x, int y, int w, int h = 19) {
    QComboBox* c = combo(parent, name, x, y, w, {}, -1, h);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setCompleter(nullptr);
    return c;
}

// Marks a list entry that stands in for a stored value missing from the list.
inline constexpr int kStandInRole = Qt::UserRole + 1;

// Selects nazev in CB. A value missing from the list is added to it as a stand-in entry and
// selected, so the list shows (and a save keeps) the stored value; an empty value selects nothing.
void load_CB(const QString& nazev, QComboBox* CB);

// Removes the stand-in entries of CB, so that it offers only the register's values (a new
// record is never given a value that is gone from its register). A removed stand-in that was
// selected leaves nothing selected.
void odeberZastupce(QComboBox* CB);

inline void fillCombo(QComboBox* cb, const QStringList& items) {
    cb->clear();
    cb->addItems(items);
    cb->setCurrentIndex(-1);
}

} // namespace qx::ovladace
