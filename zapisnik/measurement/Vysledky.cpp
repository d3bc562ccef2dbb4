#include "Vysledky.h"

#include "data/Tdm_QX.h"
#include "device/DeviceVersions.h"

namespace qx {

void change_des(Tdm_QX& dm, int verze) {
    const int sirka = deviceVersion(verze).resultWidth();
    SQLQuery& q = dm.SQLQuery_kat;
    dm.open(q, "SELECT * FROM druzstvaqx WHERE 1");
    for (; !q.Eof(); q.Next()) {
        const QByteArray celkem = q.AsBytes("celkem");
        if (celkem.isEmpty() || celkem.size() >= sirka) continue; // nothing to widen; the row stays as it is
        const QByteArray novy = QByteArray(sirka - celkem.size(), '0') + celkem;
        dm.exec(dm.SQLQuery_mereni,
                "UPDATE druzstvaqx SET celkem=" + dm.quotedBytes(novy) + " WHERE id=" + q.AsBytes("id"));
    }
}

} // namespace qx
