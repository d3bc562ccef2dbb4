#pragma once

// The bytes a timing device of a given version sends: greeting, settings frames, time records.
// Used by the device simulator qx-sim and by its tests.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qxsim {

using Bytes = std::vector<std::uint8_t>;

// One of 454, 456, 457, 458, 462, 463, 466, 467, 468.
bool knownVersion(int verze);

// Data bytes of one time frame: 3 for 454, 457, 462, 463; 4 otherwise.
int timeBytes(int verze);

// Data bytes of a settings frame: 2 for 467, 1 otherwise.
int settingsBytes(int verze);

// A time in seconds as text ("12.345", "12,34", "7") in thousandths; nullopt when it is not a
// number of 0 to 999.999 with at most three decimals.
std::optional<int> parseSeconds(const std::string& text);

// The data bytes of a time frame (without the leading 0xBA) for `thousandths` and target `code`:
//  - 458, 466, 467, 468: code; hundreds|tens; units|tenths; hundredths|thousandths (a digit per
//    half byte, upper half first);
//  - 454, 456, 457, 462, 463: code|hundreds; tens|units; tenths|hundredths; and for 456 a fourth
//    byte holding the thousandths as a number. The 3-byte versions drop the thousandths.
Bytes timeRecord(int verze, int code, int thousandths);

// The greeting the device sends when it is switched on, for the settings the console is to see:
// `nast0` the settings byte, `second` the second settings byte as the device holds it (target
// type 1 breaking / 2 making, also accepted as 0xA1 / 0xA2; for 467 the preparation minutes as two
// decimal digits, sent as given), `shown` the time-shown byte (0xAE yes, 0xAC no; 466-468 only).
//  - 466, 467, 468 (4 bytes): 0x01, nast0, second (0xA0|type for 466/468), shown.
//  - 458 (3 bytes): nast0, 0x00, type.
//  - 454, 456, 457, 462, 463 (5 bytes; the console reads 3, the decoder the last 2): nast0, 0x00,
//    type, extra[0], extra[1]. Without `extra` the last two are 0xD0 0xD0 (status: all targets
//    clear), which change nothing visible on the console.
Bytes greeting(int verze, std::uint8_t nast0, std::uint8_t second, std::uint8_t shown,
               const Bytes& extra = {});

} // namespace qxsim
