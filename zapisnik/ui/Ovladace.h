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
#include <QValidator>

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

// A limit on typing, in characters (code points: a letter or emoji outside the basic plane counts
// once, not as its two UTF-16 units). It holds back only what the operator types, pastes or drops:
// a text the program sets is shown and kept whole, however long, and an over-long text may be
// edited as long as it does not grow past its own length. Nothing is ever cut inside a character;
// a paste that does not fit is cut to the whole characters that do. (QLineEdit::setMaxLength
// would cut the program's texts too, and counts UTF-16 units.)
class LimitZnaku : public QValidator {
    Q_OBJECT
public:
    LimitZnaku(int limit, QLineEdit* edit);
    int limit() const { return limit_; }
    State validate(QString& input, int& pos) const override;

private:
    QLineEdit* edit_;
    int limit_;
    QString predchozi_;          // the text before the edit being validated
    mutable qsizetype dovoleno_; // the most characters an edit may give: the limit, or more for a
                                 // longer text set by the program
};

// The typing limit of an edit box in characters; -1 when it has none.
int limitZnaku(const QLineEdit* e);

inline QLineEdit* edit(QWidget* parent, const char* name, int x, int y, int w, int maxZnaku, int h = 19) {
    auto* e = make<QLineEdit>(parent, name, x, y, w, h);
    e->setValidator(new LimitZnaku(maxZnaku, e));
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
// nothing is completed while typing, so the text saved is the text typed. Typing is limited to
// maxZnaku characters, as in an edit box.
inline QComboBox* comboSPsanim(QWidget* parent, const char* name, int x, int y, int w, int maxZnaku,
                               int h = 19) {
    QComboBox* c = combo(parent, name, x, y, w, {}, -1, h);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setCompleter(nullptr);
    c->lineEdit()->setValidator(new LimitZnaku(maxZnaku, c->lineEdit()));
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
