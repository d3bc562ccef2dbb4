#pragma once

// A decoder listener that writes every callback as one line of text, so that a test compares the
// whole ordered sequence of what the console is told to do.

#include "link/Decoder.h"

#include <QStringList>

namespace testlink {

inline QString hex2(int v) {
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}

inline QString opt(const std::optional<QString>& s) {
    return s ? QLatin1Char('"') + *s + QLatin1Char('"') : QStringLiteral("-");
}

// "lines <lblCas> <lblCasD> | entry "text" [msg w l][msg w l] | error "text" ... | pcas N | rot"
inline QString describe(const stopky::ResultSetOutcome& o) {
    QString s = QStringLiteral("lines ") + opt(o.lblCas) + QLatin1Char(' ') + opt(o.lblCasD);
    for (const stopky::ResultEntry& e : o.entries) {
        s += QStringLiteral(" | ") + (e.ok ? QStringLiteral("entry \"") : QStringLiteral("error \"")) +
             e.text + QLatin1Char('"');
        for (const stopky::AmSend& m : e.messages)
            s += QStringLiteral(" [%1 %2 %3]").arg(m.msg).arg(m.wParam).arg(m.lParam);
    }
    if (o.pcas) s += QStringLiteral(" | pcas %1").arg(*o.pcas);
    if (o.startRotation) s += QStringLiteral(" | rot");
    return s;
}

class Recorder : public stopky::DecoderListener {
public:
    QStringList ev;
    std::vector<stopky::SettingsOutcome> settings;
    std::vector<stopky::ResultSetOutcome> sets;

    void settingsApplied(const stopky::SettingsOutcome& o) override {
        settings.push_back(o);
        ev << QStringLiteral("settings %1 %2 %3 %4 %5 %6")
                  .arg(hex2(o.nast[0]), hex2(o.nast[1]), hex2(o.nast[2]),
                       o.lblDraha.value_or(QStringLiteral("-")), o.lblPriprava,
                       o.lblTerce.value_or(QStringLiteral("-")));
    }
    void countdownStart() override { ev << QStringLiteral("countdown"); }
    void reset() override { ev << QStringLiteral("reset"); }
    void start() override { ev << QStringLiteral("start"); }
    void targetsLabel(const QString& t) override { ev << QStringLiteral("terce ") + t; }
    void timeShownLabel(const QString& t) override { ev << QStringLiteral("ncas ") + t; }
    void statusLine(const QString& t) override { ev << QStringLiteral("status [") + t + QLatin1Char(']'); }
    void timeCompleted(int slot, const QString& t) override {
        ev << QStringLiteral("time %1 ").arg(slot) + t;
    }
    void endOfSet(const stopky::ResultSetOutcome& o) override {
        sets.push_back(o);
        ev << QStringLiteral("end ") + describe(o);
    }
    void recall(const stopky::ResultSetOutcome& o) override { ev << QStringLiteral("recall ") + describe(o); }
};

inline QByteArray bytes(std::initializer_list<int> l) {
    QByteArray a;
    for (int v : l)
        a.append(char(v));
    return a;
}

} // namespace testlink
