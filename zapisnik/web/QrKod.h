#pragma once

// A QR code of a text (the page's address) as a square of dark and light modules, for the window
// and the printed start list to draw. Qt Core only.

#include <QByteArray>
#include <QList>

#include <optional>

namespace qx {

struct QrKod {
    int strana = 0;     // modules per side
    QList<bool> moduly; // row by row, true: dark

    bool tmavy(int x, int y) const { return moduly[y * strana + x]; }
    // Row by row as a matrix (what the printed list takes).
    QList<QList<bool>> radky() const;
};

// Medium error correction, the smallest version that holds the text; nullopt when it cannot be
// encoded.
std::optional<QrKod> qrKod(const QByteArray& text);

} // namespace qx
