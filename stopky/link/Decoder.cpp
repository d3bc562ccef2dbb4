#include "link/Decoder.h"

#include "display/TimeText.h"

namespace stopky {

namespace {
DecoderListener& nullListener() {
    static DecoderListener l;
    return l;
}
} // namespace

QString statusText(quint8 status, MeasureMode mode) {
    const bool attack = mode == MeasureMode::OneAttack || mode == MeasureMode::TwoAttacks;
    QString s;
    s.reserve(16);
    for (int bit = 0; bit < 4; ++bit) {
        const bool set = (status >> bit) & 1;
        if (attack) {
            if (set)
                s += (bit % 2 == 0) ? u"L " : u"P ";
            else
                s += (bit % 2 == 0) ? u"    " : u"   ";
        } else {
            if (set) {
                s += QChar(u'1' + bit);
                s += QLatin1Char(' ');
            } else {
                s += u"   ";
            }
        }
    }
    return s;
}

Decoder::Decoder(DecoderListener* listener) : listener_(listener) {}

void Decoder::feed(std::span<const quint8> bytes) {
    for (quint8 b : bytes)
        feed(b);
}

void Decoder::feed(QByteArrayView bytes) {
    for (char c : bytes)
        feed(quint8(c));
}

void Decoder::feed(quint8 b) {
    if (prikData_)
        frameByte(b);
    else
        command(b);
}

void Decoder::command(quint8 b) {
    DecoderListener& l = listener_ ? *listener_ : nullListener();
    switch (b) {
    case 0x55:
        l.countdownStart();
        break;
    case 0x5A:
        inPrikaz_ = 0x5A;
        pocetByte_ = quint8(typ_.settingsFrameBytes);
        bytu_ = 0;
        prikData_ = true;
        break;
    case 0xA1:
        l.targetsLabel(QStringLiteral("Rozpínací"));
        break;
    case 0xA2:
        l.targetsLabel(QStringLiteral("Spínací"));
        break;
    case 0xA5: {
        const ResultSetOutcome o = recallSet(casy_, nast_[0], mode_, typ_.verze, typ_.format);
        applyOutcome(o);
        l.recall(o);
        break;
    }
    case 0xAA:
        casu_ = 1;
        setDone_ = false;
        rotation_ = false;
        l.reset();
        break;
    case 0xAB:
        l.start();
        break;
    case 0xAC:
        l.timeShownLabel(QStringLiteral("čas: ne"));
        break;
    case 0xAE:
        l.timeShownLabel(QStringLiteral("čas: ano"));
        break;
    case 0xBA: {
        inPrikaz_ = 0xBA;
        pocetByte_ = typ_.BCas;
        bytu_ = 0;
        prikData_ = true;
        const int n = setSize(nast_[0]);
        storeFrame_ = !setDone_ && validSetSize(n) && casu_ >= 1 && casu_ <= n;
        break;
    }
    default:
        break;
    }
    if ((b & 0xF0) == 0xD0) l.statusLine(statusText(b, mode_));
}

void Decoder::frameByte(quint8 b) {
    ++bytu_;
    if (inPrikaz_ == 0x5A) {
        nast_[size_t(bytu_ - 1)] = b;
        if (bytu_ >= pocetByte_) {
            prikData_ = false;
            applySettings(nast_);
        }
        return;
    }
    // Time frame.
    if (storeFrame_) casy_[size_t(casu_ - 1)].b[size_t(bytu_ - 1)] = b;
    if (bytu_ < pocetByte_) return;
    prikData_ = false;
    bytu_ = 0;
    if (!storeFrame_) return;
    storeFrame_ = false;
    ++casu_;
    const int n = setSize(nast_[0]);
    DecoderListener& l = listener_ ? *listener_ : nullListener();
    if (!validSetSize(n)) {
        // The set size was changed to an invalid one while this frame was open (only possible by
        // applySettings from outside between bytes): the time is kept, nothing else happens.
    } else if (casu_ <= n) {
        l.timeCompleted(casu_ - 1, CasToStr(casy_[size_t(casu_ - 2)], true, typ_.verze, typ_.format));
    } else {
        setDone_ = true;
        const ResultSetOutcome o = completeSet(casy_, nast_[0], mode_, typ_.verze, typ_.format);
        applyOutcome(o);
        l.endOfSet(o);
    }
}

void Decoder::applyOutcome(const ResultSetOutcome& o) {
    if (o.pcas) pcas_ = *o.pcas;
    if (o.startRotation) rotation_ = true;
}

const TypSettings& Decoder::nastavTyp(int verze, int format) {
    typ_ = nastav_typ(verze, format, typ_.formatU, typ_.formatS, nast_[0]);
    return typ_;
}

int Decoder::applyGreeting(QByteArrayView bytes) {
    const Greeting g = parseGreeting(typ_.verze, bytes, nast_);
    applySettings(g.nast);
    return g.consumed;
}

void Decoder::applySettings(const Nast& nast) {
    nast_ = nast;
    const SettingsOutcome o = Nastav_uPC(nast_, typ_.verze, typ_.formatU, typ_.formatS);
    if (o.mode) mode_ = *o.mode;
    DecoderListener& l = listener_ ? *listener_ : nullListener();
    l.settingsApplied(o);
}

void Decoder::connectionLost() {
    prikData_ = false;
    inPrikaz_ = 0;
    bytu_ = 0;
    storeFrame_ = false;
    setDone_ = true;
    rotation_ = false;
}

std::optional<QString> Decoder::rotationTick() {
    const std::optional<quint8> p = rotationStep(pcas_, setSize(nast_[0]));
    if (!p) {
        rotation_ = false;
        return std::nullopt;
    }
    pcas_ = *p;
    return CasToStr(casy_[size_t(pcas_ - 1)], true, typ_.verze, typ_.format);
}

} // namespace stopky
