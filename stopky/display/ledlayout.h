#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <array>
#include <functional>

// Layout arithmetic of the LED window (`PrekresliLED`), free of widgets: the window size, the
// texts and a function that measures a text in the window's bold Arial at a point size go in;
// the rectangles and font sizes of every control come out.
namespace stopky::ledlayout {

// Size of a one-line label showing `text` in Arial bold at `pointSize` points, as an automatically
// sized label would take it (an empty text is still one line high).
using Measure = std::function<QSize(const QString& text, int pointSize)>;

struct Input {
    int width = 0;                   // W: the window's outer width
    int height = 0;                  // H: the window's outer height
    QString teamName;                // text of `edtSDH`
    std::array<QString, 4> rowNames; // texts of `edtM0`, `edtM1`, `edtM2`, `edtMR`
};

struct Result {
    int teamPointSize = 0;      // 70, or 35 for a name of more than 25 characters
    QRect team;                 // `lblSDH`
    QRect startBanner;          // `pnlStart`
    QRect scrollLine;           // `DXDraw`
    int rowPointSize = 0;       // the font of the eight row labels and of `lblpom`
    QString longestName;        // caption of `lblpom`: the first of the longest row names
    std::array<QRect, 4> names; // `lblM0`, `lblM1`, `lblM2`, `lblMR`
    std::array<QRect, 4> times; // `lblCas0` .. `lblCas3`
};

constexpr int kTeamLongNameChars = 25;
constexpr int kTeamPointSize = 70;
constexpr int kTeamPointSizeLong = 35;
constexpr int kStartBannerHeight = 120;
constexpr int kScrollLineHeight = 80;
constexpr int kCaptionAllowance = 25; // room left for the window's caption bar
constexpr int kSideAllowance = 30;    // W - 30 is the room for a row
inline const QString kTimeSample = QStringLiteral("000,000");

// The row font: three points below the largest size at which "000,000" and the longest name fit
// side by side in W - 30 and four rows fit above the scrolling line; never below 1.
int rowPointSize(const Input& in, int teamHeight, const Measure& measure);

Result compute(const Input& in, const Measure& measure);

} // namespace stopky::ledlayout
