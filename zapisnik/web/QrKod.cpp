#include "web/QrKod.h"

#include <qrencode.h>

namespace qx {

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
