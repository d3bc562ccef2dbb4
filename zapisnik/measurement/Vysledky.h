#pragma once

// Stored results ("celkem"): fixed-width texts with leading zeros, so that text
// order is value order.

namespace qx {

class Tdm_QX;

// Start-up widening: every stored non-empty result shorter than the result width
// of verze (the table of device versions) gets leading zeros up to that width. Walks SQLQuery_kat, writes
// with SQLQuery_mereni.
void change_des(Tdm_QX& dm, int verze);

} // namespace qx
