#include "textlimit.h"

#include <algorithm>

namespace stopky {

int characterCount(QStringView text) {
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        ++n;
    }
    return n;
}

TypedText limitTyped(const QString& before, const QString& after, int cursor, int limit) {
    const int allowed = std::max(limit, characterCount(before));
    const int total = characterCount(after);
    if (total <= allowed) return {after, cursor};

    // What was typed or pasted: the part of `after` between the common beginning and the common
    // end of both texts, the end not reaching before the cursor.
    const qsizetype at = std::clamp<qsizetype>(cursor, 0, after.size());
    qsizetype prefix = 0;
    const qsizetype prefixMax = std::min(before.size(), at);
    while (prefix < prefixMax && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    const qsizetype suffixMax = std::min(after.size() - at, before.size() - prefix);
    while (suffix < suffixMax && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    // Never between the two halves of a surrogate pair.
    if (prefix > 0 && after[prefix - 1].isHighSurrogate()) --prefix;
    if (suffix > 0 && after[after.size() - suffix].isLowSurrogate()) --suffix;

    const QStringView inserted = QStringView(after).mid(prefix, after.size() - prefix - suffix);
    const int keep = std::max(0, allowed - (total - characterCount(inserted)));
    qsizetype units = 0;
    for (int kept = 0; kept < keep && units < inserted.size(); ++kept) {
        if (inserted[units].isHighSurrogate() && units + 1 < inserted.size() &&
            inserted[units + 1].isLowSurrogate())
            ++units;
        ++units;
    }
    TypedText r;
    r.text = after.left(prefix) + inserted.left(units).toString() + after.right(suffix);
    r.cursor = int(prefix + units);
    return r;
}

} // namespace stopky
