#include "qxsim_proto.h"

#include <cctype>

namespace qxsim {

bool knownVersion(int v) {
    switch (v) {
    case 454:
    case 456:
    case 457:
    case 458:
    case 462:
    case 463:
    case 466:
    case 467:
    case 468:
        return true;
    default:
        return false;
    }
}

static bool byteCoded(int v) {
    return v == 458 || v == 466 || v == 467 || v == 468;
}

int timeBytes(int v) {
    return (v == 454 || v == 457 || v == 462 || v == 463) ? 3 : 4;
}

int settingsBytes(int v) {
    return v == 467 ? 2 : 1;
}

std::optional<int> parseSeconds(const std::string& text) {
    std::size_t i = 0;
    long whole = 0;
    int intDigits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        whole = whole * 10 + (text[i] - '0');
        if (++intDigits > 3) return std::nullopt;
        ++i;
    }
    int frac = 0, fracDigits = 0;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            if (++fracDigits > 3) return std::nullopt;
            frac = frac * 10 + (text[i] - '0');
            ++i;
        }
    }
    if (i != text.size() || (intDigits == 0 && fracDigits == 0)) return std::nullopt;
    for (int k = fracDigits; k < 3; ++k)
        frac *= 10;
    return int(whole * 1000 + frac);
}

Bytes timeRecord(int verze, int code, int t) {
    const int d1 = t / 100000 % 10, d2 = t / 10000 % 10, d3 = t / 1000 % 10;
    const int d4 = t / 100 % 10, d5 = t / 10 % 10, d6 = t % 10;
    auto pair = [](int hi, int lo) { return std::uint8_t((hi << 4) | lo); };
    if (byteCoded(verze)) return {std::uint8_t(code), pair(d1, d2), pair(d3, d4), pair(d5, d6)};
    Bytes b{pair(code & 0x0F, d1), pair(d2, d3), pair(d4, d5)};
    if (timeBytes(verze) == 4) b.push_back(std::uint8_t(d6));
    return b;
}

Bytes greeting(int verze, std::uint8_t nast0, std::uint8_t second, std::uint8_t shown, const Bytes& extra) {
    const std::uint8_t type = (second & 0xF0) == 0xA0 ? std::uint8_t(second & 0x0F) : second;
    if (verze == 466 || verze == 468)
        return {0x01, nast0, std::uint8_t(type < 0x10 ? (0xA0 | type) : type), shown};
    if (verze == 467) return {0x01, nast0, second, shown};
    if (verze == 458) return {nast0, 0x00, type};
    Bytes b{nast0, 0x00, type};
    b.push_back(extra.size() > 0 ? extra[0] : 0xD0);
    b.push_back(extra.size() > 1 ? extra[1] : 0xD0);
    return b;
}

} // namespace qxsim
