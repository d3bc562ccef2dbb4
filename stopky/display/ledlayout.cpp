#include "ledlayout.h"

#include "textlimit.h"

#include <algorithm>

namespace stopky::ledlayout {

namespace {
// A size search that never ends on its own only with a broken measuring function; stop there.
constexpr int kMaxPointSize = 2000;

QString longestOf(const std::array<QString, 4>& names) {
    QString longest = names[0];
    for (const QString& n : names)
        if (n.size() > longest.size()) longest = n;
    return longest;
}
} // namespace

int rowPointSize(const Input& in, int teamHeight, const Measure& measure) {
    const QString longest = longestOf(in.rowNames);
    const int room = in.width - kSideAllowance;
    // Integer division truncating towards zero, as the row height limit is defined.
    const int rowLimit = (in.height - kCaptionAllowance - teamHeight - kScrollLineHeight) / 4;
    const auto fits = [&](int s) {
        const QSize time = measure(kTimeSample, s);
        return time.width() + measure(longest, s).width() <= room && time.height() <= rowLimit;
    };
    // The first size that does not fit, found by doubling and halving rather than by trying every
    // size from 1 up (text widths and heights grow with the size): on a large display the sizes
    // go into the hundreds, and every size tried costs a font of its own.
    int fail = 1;
    if (fits(1)) {
        int lo = 1; // fits
        int hi = 2;
        while (hi < kMaxPointSize && fits(hi)) {
            lo = hi;
            hi *= 2;
        }
        hi = std::min(hi, kMaxPointSize);
        while (hi - lo > 1) { // lo fits, hi does not (or is the cap)
            const int mid = lo + (hi - lo) / 2;
            (fits(mid) ? lo : hi) = mid;
        }
        fail = hi;
    }
    // Three points below the largest size that fits.
    return std::max(1, fail - 4);
}

Result compute(const Input& in, const Measure& measure) {
    Result r;
    const int W = in.width;

    r.teamPointSize = characterCount(in.teamName) <= kTeamLongNameChars ? kTeamPointSize : kTeamPointSizeLong;
    const int Hn = measure(in.teamName, r.teamPointSize).height();
    r.team = QRect(0, 0, W, Hn);
    r.startBanner = QRect(0, Hn, W, kStartBannerHeight);

    r.longestName = longestOf(in.rowNames);
    r.rowPointSize = rowPointSize(in, Hn, measure);
    const QSize time = measure(kTimeSample, r.rowPointSize);
    const int Wn = measure(r.longestName, r.rowPointSize).width();
    const int Wt = time.width();
    const int Hr = time.height();
    for (int i = 0; i < 4; ++i) {
        const int top = Hn + i * Hr;
        r.names[i] = QRect(10, top, Wn, Hr);
        r.times[i] = QRect(Wn + 20, top, Wt, Hr);
    }
    r.scrollLine = QRect(0, Hn + 4 * Hr, W, kScrollLineHeight);
    return r;
}

} // namespace stopky::ledlayout
