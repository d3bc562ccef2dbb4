#pragma once

// The lane or target code that comes with every stopped time, and its text. One table for both
// programs: the console's time lines and LED window, and the results manager's received entries.

#include <QString>

namespace qx {

// 0, 3 "L" (left target); 1, 4 "P" (right target); 2, 6 "1"; 5, 7 "2"; 8 "3"; 9 "4"; any other
// code "".
QString targetCodeText(int code);

} // namespace qx
