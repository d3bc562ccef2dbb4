#include "ui/Ovladace.h"

#include "data/Registers.h"

#include <QSignalBlocker>

namespace qx::ovladace {

namespace {

// Characters (code points) of s: a surrogate pair counts once.
qsizetype znaky(QStringView s) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i, ++n)
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ++i;
    return n;
}

// The UTF-16 length of the first k characters of s.
qsizetype delkaZnaku(QStringView s, qsizetype k) {
    qsizetype i = 0;
    for (; i < s.size() && k > 0; ++i, --k)
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ++i;
    return i;
}

} // namespace

LimitZnaku::LimitZnaku(int limit, QLineEdit* edit)
    : QValidator(edit), edit_(edit), limit_(limit), predchozi_(edit->text()),
      dovoleno_(std::max<qsizetype>(limit, znaky(edit->text()))) {
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { predchozi_ = text; });
}

QValidator::State LimitZnaku::validate(QString& input, int& pos) const {
    const qsizetype n = znaky(input);
    // QLineEdit::setText clears the undo history before it validates, while every edit of the
    // operator's is on it: a text without history is the program's own and is taken whole.
    if (!edit_->isUndoAvailable()) {
        dovoleno_ = std::max<qsizetype>(limit_, n);
        return Acceptable;
    }
    if (n == 0) dovoleno_ = limit_; // an emptied box starts afresh
    if (n <= dovoleno_) return Acceptable;

    // The edit grew the text past what is allowed. The inserted text ends at the cursor; what is
    // left of it and right of the cursor's insertion is the text as it was.
    const QString& old = predchozi_;
    const qsizetype common = std::min(old.size(), input.size());
    qsizetype suffix = 0;
    const qsizetype maxSuffix = std::min<qsizetype>(common, input.size() - pos);
    while (suffix < maxSuffix && old[old.size() - 1 - suffix] == input[input.size() - 1 - suffix])
        ++suffix;
    qsizetype prefix = 0;
    while (prefix < common - suffix && old[prefix] == input[prefix])
        ++prefix;
    // Whole characters on both sides of the inserted text.
    if (prefix > 0 && input[prefix - 1].isHighSurrogate()) --prefix;
    if (suffix > 0 && input[input.size() - suffix].isLowSurrogate()) --suffix;
    const QStringView vlozeno = QStringView(input).mid(prefix, input.size() - prefix - suffix);
    const qsizetype vejde =
        dovoleno_ - znaky(QStringView(input).left(prefix)) - znaky(QStringView(input).right(suffix));
    if (vejde <= 0) return Invalid;
    const qsizetype delka = delkaZnaku(vlozeno, vejde);
    input = input.left(prefix) + vlozeno.left(delka).toString() + input.right(suffix);
    pos = int(prefix + delka);
    return Acceptable;
}

int limitZnaku(const QLineEdit* e) {
    const auto* v = qobject_cast<const LimitZnaku*>(e->validator());
    return v ? v->limit() : -1;
}

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
