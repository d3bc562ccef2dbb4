#pragma once

// What the measurement panel makes of the times the timer console sends: AM_Cas1 and AM_Cas2
// build the entries that the time box's list collects, AM_Mezi fills the split fields. A plain
// value that remembers the pending first-target part of an attack; the panel appends what it
// returns and runs its checks.
//
// Times arriving while another panel is shown are kept: they are handled exactly as if the
// measurement panel were shown, so a run measured while the operator looks at another panel is
// not lost. The rules therefore take no "panel shown" input.

#include <QString>
#include <QtGlobal>

#include <optional>

namespace qx {

// What AM_Mezi does to the split fields edtM1..edtM4.
struct MezicasZmena {
    enum class Druh {
        Nic,        // split number outside 0..4: ignored
        Vyprazdnit, // 0 (the run has started): all four fields emptied
        Nastavit,   // 1..4: field `pole` gets `text`
    };
    Druh druh = Druh::Nic;
    int pole = -1; // 0..3 for edtM1..edtM4
    QString text;
};

class PrijemCasu {
public:
    // AM_Cas1 (lane or target code, time count) for the device version `verze`. The pending text
    // is emptied first. Codes 0 to 5 are attack targets: the time text, the target letter and one
    // space wait for AM_Cas2, and nothing is returned. Any other code is a relay lane: the entry
    // lane text, space, time text ("1 18,23") is returned for the list.
    std::optional<QString> amCas1(int kod, qint64 pocet, int verze);

    // AM_Cas2 (final time count): the entry for the list is the pending text followed by the
    // time text ("17,53L 18,01"); with no attack AM_Cas1 before it, the bare time text. The
    // pending text stays.
    QString amCas2(qint64 pocet, int verze);

    // The pending first-target part ("17,53L "), empty when none.
    const QString& cas() const { return cas_; }

private:
    QString cas_;
};

// AM_Mezi (split number, count) for the device version and the format index last announced by
// AM_Form (the unit of the split counts).
MezicasZmena amMezi(int cislo, qint64 pocet, int verze, int format);

} // namespace qx
