#include "device/TargetCodes.h"

namespace qx {

QString targetCodeText(int code) {
    switch (code) {
    case 0:
    case 3:
        return QStringLiteral("L");
    case 1:
    case 4:
        return QStringLiteral("P");
    case 2:
    case 6:
        return QStringLiteral("1");
    case 5:
    case 7:
        return QStringLiteral("2");
    case 8:
        return QStringLiteral("3");
    case 9:
        return QStringLiteral("4");
    default:
        return QString();
    }
}

} // namespace qx
