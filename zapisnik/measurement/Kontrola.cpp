#include "measurement/Kontrola.h"

#include "measurement/Kontext.h"
#include "messages/TimeUnits.h"

namespace qx {

QStringView zaPrvniMezerou(QStringView text) {
    const qsizetype mezera = text.indexOf(u' ');
    return mezera < 0 ? text : text.mid(mezera + 1);
}

namespace {

// The first-target part of an attack entry: "NP", or a time text with the target letter.
bool terc(QStringView cast, int verze) {
    if (cast == u"NP") return true;
    if (cast.isEmpty()) return false;
    const QChar pismeno = cast.back();
    if (pismeno != u'L' && pismeno != u'P') return false;
    return isValidTimeText(verze, cast.chopped(1));
}

} // namespace

bool Kontrola_formatu_casu(QStringView text, uint8_t nast, int verze) {
    if (text.isEmpty()) return true;
    if (!jeUtok(nast)) return isValidTimeText(verze, zaPrvniMezerou(text));
    const qsizetype mezera = text.indexOf(u' ');
    if (mezera <= 0) return false;
    return terc(text.left(mezera), verze) && isValidTimeText(verze, text.mid(mezera + 1));
}

bool Kontrola_formatu_mezicasu(const std::array<QString, 4>& mezicasy, int verze) {
    for (const QString& m : mezicasy) {
        if (!isValidTimeText(verze, zaPrvniMezerou(m))) return false;
    }
    return true;
}

} // namespace qx
