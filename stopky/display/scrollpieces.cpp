#include "scrollpieces.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace stopky {

void ScrollPieces::setText(const QString& text, const Advance& advance) {
    m_text = text;
    m_pieces.clear();
    if (text.isEmpty()) return;

    // The grapheme boundaries, in order; a piece may end only at one of them.
    QTextBoundaryFinder bounds(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    qreal x = 0;
    while (start < text.size()) {
        bounds.setPosition(start);
        qsizetype end = start;
        qsizetype afterSpace = -1;
        for (int chars = 0; chars < kMaxPieceChars; ++chars) {
            const qsizetype next = bounds.toNextBoundary();
            if (next < 0) break;
            end = next;
            if (text[end - 1].isSpace() && chars >= kMaxPieceChars / 2) afterSpace = end;
            if (end >= text.size()) break;
        }
        if (end <= start) end = text.size(); // no boundary found: the rest as one piece
        if (end < text.size() && afterSpace > start) end = afterSpace;
        Piece p;
        p.start = start;
        p.length = end - start;
        p.x = qRound(x);
        x += advance(QStringView(text).mid(start, end - start));
        p.width = qRound(x) - p.x;
        m_pieces.append(p);
        start = end;
    }
}

std::pair<qsizetype, qsizetype> ScrollPieces::visible(int left, int width) const {
    const int right = left + width;
    // The first piece whose right edge lies beyond `left`.
    const auto first = std::partition_point(m_pieces.cbegin(), m_pieces.cend(),
                                            [left](const Piece& p) { return p.x + p.width <= left; });
    auto last = first;
    while (last != m_pieces.cend() && last->x < right)
        ++last;
    return {first - m_pieces.cbegin(), last - m_pieces.cbegin()};
}

} // namespace stopky
