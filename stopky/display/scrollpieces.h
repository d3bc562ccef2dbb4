#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <utility>

namespace stopky {

// The scrolling line's text cut into short pieces, each drawn on its own: a frame draws only the
// pieces that cross the visible line, so what a frame costs does not grow with the length of the
// text (a long text drawn whole, or into one image, takes seconds and exceeds what an image can
// hold). A piece ends after a space where one lies in its second half, else after at most
// kMaxPieceChars characters, never inside a character or a letter with its accents (grapheme).
class ScrollPieces {
public:
    static constexpr int kMaxPieceChars = 32;

    // Width in pixels of a piece of text drawn in the line's font, with its fraction: the pieces
    // are placed at the rounded sums of the exact widths, so that they stand where the glyphs of
    // the whole text drawn at once would stand, however many pieces come before.
    using Advance = std::function<qreal(QStringView)>;

    struct Piece {
        qsizetype start = 0;  // in the text, UTF-16 units
        qsizetype length = 0; // UTF-16 units
        int x = 0;            // left edge, from the text's start
        int width = 0;        // up to the next piece's x
    };

    // Cuts the text and measures each piece once.
    void setText(const QString& text, const Advance& advance);
    const QString& text() const { return m_text; }
    const QList<Piece>& pieces() const { return m_pieces; }
    int width() const { return m_pieces.isEmpty() ? 0 : m_pieces.last().x + m_pieces.last().width; }

    // The pieces [first, last) that cross the span [left, left + width) of the text's own
    // coordinates (the line shows the text drawn at x = scroll, so left = -scroll).
    std::pair<qsizetype, qsizetype> visible(int left, int width) const;

private:
    QString m_text;
    QList<Piece> m_pieces;
};

} // namespace stopky
