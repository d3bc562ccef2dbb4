#include "measurement/Vypocet.h"

#include "device/DeviceVersions.h"
#include "measurement/Casy.h"

namespace qx {

namespace {

// A stored time as thousandths: 0 when empty, nullopt when not a number.
std::optional<qint64> cas(const QString& text) {
    if (text.isEmpty()) return 0;
    return ctiCas(text);
}

// The better of two times, where 0 is a missing time.
qint64 lepsi(qint64 a, qint64 b) {
    if (a == 0) return b;
    if (b == 0) return a;
    return std::min(a, b);
}

// The texts the computation reads for a row, in reading order.
QList<const QString*> ctene(const DruzstvoRadek& r, const MereniKontext& ctx) {
    QList<const QString*> t{&r.cas1S, &r.cas2S, &r.cas1C};
    if (ctx.kolo == Kolo::Druhe) t.append(&r.cas2C);
    return t;
}

} // namespace

std::optional<qint64> vypoctiCelkem(const DruzstvoRadek& r, const MereniKontext& ctx) {
    const auto s1 = cas(r.cas1S), s2 = cas(r.cas2S), c1 = cas(r.cas1C);
    if (!s1 || !s2 || !c1) return std::nullopt;
    qint64 casSt = lepsi(*s1, *s2);
    qint64 casC = *c1;
    if (ctx.kolo == Kolo::Druhe) {
        const auto c2 = cas(r.cas2C);
        if (!c2) return std::nullopt;
        switch (ctx.rezim) {
        case Rezim::Finalovy:
            casC = *c2;
            break;
        case Rezim::Soucet:
            casC = *c2 == 0 ? 0 : *c1 + *c2;
            break;
        case Rezim::Lepsi:
            casC = lepsi(*c1, *c2);
            break;
        }
    }
    if (jeStafeta(ctx.nast)) {
        casC = casSt;
        casSt = 0;
    }
    if (casC <= 0) return std::nullopt;
    return casC + casSt;
}

QStringList chybneCasy(const DruzstvoRadek& r, const MereniKontext& ctx) {
    QStringList chybne;
    for (const QString* t : ctene(r, ctx)) {
        if (!cas(*t)) chybne.append(*t);
    }
    return chybne;
}

QString celkemRadku(const DruzstvoRadek& r, const MereniKontext& ctx) {
    const std::optional<qint64> v = vypoctiCelkem(r, ctx);
    return v ? celkemText(*v, ctx.verze) : QString();
}

int sirkaCelkem(int verze) {
    return deviceVersion(verze).resultWidth();
}

QString rozsirCelkem(const QString& celkem, int verze) {
    const int sirka = sirkaCelkem(verze);
    if (celkem.isEmpty() || celkem.size() >= sirka) return celkem;
    return QString(sirka - celkem.size(), u'0') + celkem;
}

} // namespace qx
