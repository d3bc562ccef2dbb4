#pragma once

#include <QString>
#include <QStringView>

// The console's edit boxes limit what the operator types, never what the program puts there:
// the team name from zapisnik or the split captions from qx.ini are kept whole however long.
// Lengths count characters (Unicode code points), not UTF-16 units.
namespace stopky {

// Number of characters of a text: a character outside the Basic Multilingual Plane counts once.
int characterCount(QStringView text);

struct TypedText {
    QString text;
    int cursor = 0; // cursor position in UTF-16 units
};

// An edit by the operator turned `before` into `after`, with the cursor at `cursor` (right after
// what was typed or pasted). The edit is kept as long as the text has at most `limit`
// characters, or no more than it had before (a longer text set by the program may be edited
// but not lengthened). Otherwise what was typed or pasted is cut to fit, keeping its beginning;
// the cursor then stands right after the part kept.
TypedText limitTyped(const QString& before, const QString& after, int cursor, int limit);

} // namespace stopky
