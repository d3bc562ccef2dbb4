#pragma once

// The layout of the exported start list or results list, free of widgets and of the database:
// the rows already read (in the order to print), the settings snapshot and the competition's
// header fields go in; the pages come out as lists of drawing operations in units of 1/96 inch,
// origin at the top left corner of an A4 portrait page, x to the right, y downwards.

#include "data/Radky.h"
#include "measurement/Kontext.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace qx {

// The chosen competition as the page header prints it.
struct SoutezHlavicka {
    QString nazev;
    QString datum; // already in its display form
    QString cas;   // start time text
    QString misto;
    QString okres;
};

struct ExportVstup {
    Pohled pohled = Pohled::Listina;      // start list or results list
    QList<DruzstvoRadek> radky;           // the entries to print, in the order to print them
    MereniKontext kontext;                // category, phase, mode, format, export options, organiser
    std::optional<SoutezHlavicka> soutez; // nullopt: the chosen competition no longer exists
    // The QR code of the live results page's address, printed at the top right of every page while
    // the results server is on: rows of modules, true dark. Empty: no code.
    QList<QList<bool>> qr;
};

// One drawing operation. Texts are placed by the top left corner of their line; font sizes are
// in points; lines and outlines are black and one unit wide; a fill is black without an outline.
struct Kresba {
    enum class Druh { Text, Cara, Obdelnik, Vypln };
    Druh druh = Druh::Text;
    int x = 0, y = 0;   // text: top left corner; line: start; rectangle: top left corner
    int x2 = 0, y2 = 0; // line: end; rectangle and fill: bottom right corner
    QString text;
    int velikost = 10; // points
    bool tucne = false;
    bool preskrtnute = false;
    bool seda = false; // rectangle: filled with the button-face grey, otherwise white

    bool operator==(const Kresba&) const = default;
};
using Stranka = QList<Kresba>;

namespace rozvrh {
constexpr int kStred = 390;        // x of the centre of the header lines and of the table
constexpr int kRadkuNaStranu = 45; // rows on one page
constexpr int kOdsazeni = 5;       // a column's text starts this far right of the column
constexpr int kVyskaPasu = 22;     // a band's or row's rectangle
constexpr int kVyskaCary = 20;     // a column separator
constexpr int kRozestupRadku = 20;
constexpr int kPodHlavickou = 40; // the table header band below the last header line
constexpr int kZapatiY = 1080;
constexpr int kZapatiLeveX = 20;
constexpr int kZapatiPraveX = 660;
constexpr int kPoradatelKonec = 700; // the organiser's name ends near here: x = 700 - 6 × length
constexpr int kPoradatelZnak = 6;
// The QR code of the results page: below the organiser's name, its right edge at the name's end;
// moved right when a header line reaches into it (never past kQrPravyOkraj), and left out when it
// fits nowhere without covering a header line or the table.
constexpr int kQrModul = 2;        // units per module (0.53 mm)
constexpr int kQrTiche = 8;        // the quiet zone around the code, where nothing else is drawn
constexpr int kQrY = 42;           // the code's top edge
constexpr int kQrPravyOkraj = 774; // A4 is about 794 wide

// The fixed texts of the header and the footer.
QString autorskyRadek();
QString zapatiLeve();
QString zapatiPrave();
// The competition line of a competition that no longer exists.
QString soutezNenalezena();
} // namespace rozvrh

// One column of the table: where it starts (offset from the band's left edge), how wide it is,
// how far right of its start its title and cells begin, and what it shows.
struct Sloupec {
    enum class Obsah {
        Poradi,    // poradi + "."
        Nazev,     // nazev_dr
        Tym,       // tym
        Kategorie, // kategorie
        Stafeta1,  // cas1S, struck through when the slower run
        Stafeta2,  // cas2S, likewise
        Mezicas,   // M1 .. M4 (mezicas 0 .. 3)
        Terc1R,    // cas1R as a target time
        Cas1C,     // cas1C
        Terc2R,    // cas2R as a target time
        Cas2C,     // cas2C
        Celkem,    // celkem, bold
        Pozice     // pozice as stored
    };
    int offset = 0;
    int sirka = 0;
    int odsazeni = rozvrh::kOdsazeni;
    QString titulek;
    Obsah obsah = Obsah::Poradi;
    int mezicas = 0;
};

struct Tabulka {
    int sirka = 0; // the band's width
    QList<Sloupec> sloupce;
    int levy() const { return rozvrh::kStred - sirka / 2; }
    int pravy() const { return rozvrh::kStred + sirka / 2; }
};

// The table of a view under the settings: band width and columns from left to right.
Tabulka tabulka(Pohled pohled, const MereniKontext& kontext);

// A stored time in the printed form: empty stays empty; "setiny" cut after the second decimal
// digit of the stored text (never rounded), "tisíciny" three decimals; a text that is not a
// number is printed unchanged.
QString tiskCasu(QStringView stored, int format);
// A stored first-target time (number and one lane letter, "15,3L" → "15,30L"); any other text
// ("NP") is printed unchanged.
QString tiskTerce(QStringView stored, int format);
// Which of the two relay runs is struck through: 1 or 2 for the slower one, 0 when only one is
// present, they are equal, or one is not a number.
int preskrtnutaStafeta(QStringView cas1S, QStringView cas2S);

// The whole document: at least one page.
QList<Stranka> rozvrhni(const ExportVstup& vstup);

} // namespace qx
