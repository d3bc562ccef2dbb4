#pragma once

// Stored results ("celkem"): fixed-width texts with leading zeros, so that text
// order is value order.

namespace qx {

class Tdm_QX;

// Width of a stored result for a device version: 6 (two decimals) for 454,
// 462, 463 and 490, 7 (three decimals) for every other version.
int sirka_celkem(int verze);

// Start-up widening: every stored non-empty result shorter than the width of
// verze gets leading zeros up to that width. Walks SQLQuery_kat, writes with
// SQLQuery_mereni.
void change_des(Tdm_QX& dm, int verze);

} // namespace qx
