#include "web/QrKod.h"

#include <qrencode.h>

namespace qx {

QList<QList<bool>> QrKod::radky() const {
    QList<QList<bool>> out;
    for (int y = 0; y < strana; ++y)
        out.append(moduly.mid(y * strana, strana));
    return out;
}

std::optional<QrKod> qrKod(const QByteArray& text) {
    QRcode* q = QRcode_encodeString8bit(text.constData(), 0, QR_ECLEVEL_M);
    if (!q) return std::nullopt;
    QrKod k;
    k.strana = q->width;
    k.moduly.reserve(q->width * q->width);
    for (int i = 0; i < q->width * q->width; ++i)
        k.moduly.append((q->data[i] & 1) != 0);
    QRcode_free(q);
    return k;
}

} // namespace qx
