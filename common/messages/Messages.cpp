#include "messages/Messages.h"

namespace qx {

namespace {
struct NamedMessage {
    quint32 number;
    QStringView name;
};
constexpr NamedMessage kNames[] = {
    {AM_Nast, u"AM_Nast"}, {AM_Cas1, u"AM_Cas1"}, {AM_Cas2, u"AM_Cas2"},
    {AM_Text, u"AM_Text"}, {AM_Form, u"AM_Form"}, {AM_Mezi, u"AM_Mezi"},
};
} // namespace

QString messageName(quint32 message) {
    for (const auto& n : kNames) {
        if (n.number == message) return n.name.toString();
    }
    return QString::number(message);
}

std::optional<quint32> messageFromName(QStringView name) {
    for (const auto& n : kNames) {
        if (name.compare(n.name, Qt::CaseInsensitive) == 0) return n.number;
    }
    bool ok = false;
    const quint32 number = name.toUInt(&ok, 10);
    if (ok) return number;
    return std::nullopt;
}

} // namespace qx
