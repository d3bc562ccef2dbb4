#pragma once

// The device byte decoder of the timer console.
//
// The console hands every byte it receives after the greeting to Decoder::feed, in order (one at a
// time or a span at once; both behave the same). The decoder keeps the frame state and the current
// result set, and tells the console what to do through a DecoderListener. It owns no widget, timer
// or port; every text it reports is final (the console only puts it into its label).
//
// Bytes outside a frame:
//   0x55 countdownStart        0x5A settings frame (settingsFrameBytes)      0xA1/0xA2 targetsLabel
//   0xA5 recall                0xAA reset      0xAB start      0xAC/0xAE timeShownLabel
//   0xBA time frame (BCas data bytes, fixed when 0xBA arrives)     0xD0..0xDF statusLine
//   anything else: ignored.
// Inside a frame every byte is data, whatever its value.
//
// Guarding the result set (no time is ever stored outside the four slots):
//   - time frames fill slots from 1 onward, also before the first reset byte;
//   - a time frame that arrives when the set is already complete (until the next reset), or while
//     the set size n = nast[0] & 7 is outside 1..4, is read to its end (so the framing stays right)
//     but not stored, and raises nothing;
//   - the end of set is reported exactly once per set, right after the last byte of the n-th time.
//
// Typical use by the console window:
//
//   class TfrmCas : public QWidget, private stopky::DecoderListener { ... stopky::Decoder dec{this}; };
//   // version radio button or format change (also at start-up):
//   const stopky::TypSettings& t = dec.nastavTyp(verze, CBFormat->currentIndex());
//   // greeting: once pocetB_Uvod bytes are waiting (4-byte greetings: up to ~1 s more for the 4th)
//   const QByteArray in = port->readAll();
//   dec.feed(QByteArrayView(in).sliced(dec.applyGreeting(in)));
//   // afterwards, every arrival:
//   dec.feed(QByteArrayView(port->readAll()));
//   // tmrPrep tick (started when an outcome says startRotation, stopped in reset()):
//   if (auto t = dec.rotationTick()) lblCasD->setText(*t); else tmrPrep->stop();
//
// Before the first nastavTyp the version is 0 (unknown: 3-byte times, target code in the high half).
// Before the first settings the mode is MeasureMode::None and nast is all zero.

#include "display/TimeRecord.h"
#include "link/ResultSet.h"
#include "link/Settings.h"
#include "link/VersionTable.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>
#include <span>

namespace stopky {

// What the console must do, raised from inside feed() (settingsApplied also from applySettings and
// applyGreeting), in the order the bytes require. A callback must not call feed() again. When a
// callback runs the decoder's state already reflects the byte (e.g. casu() is n + 1 in endOfSet).
// Every callback has an empty default, so a listener overrides only what it needs.
class DecoderListener {
public:
    virtual ~DecoderListener() = default;

    // Settings bytes applied (greeting or settings frame): the console applies `o` to lblNCas,
    // lblDraha, lblPriprava, lblTerce, lblFormat and pripravaM/S, sends AM_Nast (o.verze, o.nast[0]),
    // and empties lblCas and lblCasD.
    virtual void settingsApplied(const SettingsOutcome& o) {}

    // 0x55: start the preparation countdown.
    virtual void countdownStart() {}

    // 0xAA: t_cas := false; stop tmrOdpocet; lblCas and lblCasD := ""; stop tmrPrep; enable
    // btnAutomat; hide lblM0C..lblMRC; empty the LED labels; enable edtM1, edtM2, edtMR, edtSDH,
    // edtText; btnAutomat caption "Automatický start", enabled; hide DXCas1, pnlStart, stop tmrStart.
    // The decoder has already set casu := 1 and stopped its rotation.
    virtual void reset() {}

    // 0xAB: stop tmrOdpocet; lblCas := kStartText ("0,000"); t_cas := true; StartQX := now; focus
    // CBCas; disable the edit boxes; show DXCas1 and pnlStart; AM_Mezi (0, 0).
    virtual void start() {}

    // 0xA1 "Rozpínací", 0xA2 "Spínací": the new text of lblTerce.
    virtual void targetsLabel(const QString& text) {}

    // 0xAC "čas: ne", 0xAE "čas: ano": the new text of lblNCas (visibility unchanged).
    virtual void timeShownLabel(const QString& text) {}

    // 0xD0..0xDF: the new text of lblCasD (8 to 14 characters, see statusText).
    virtual void statusLine(const QString& text) {}

    // A time of the set has arrived and more are to come: lblCasD := text (slot `slot` with its
    // target prefix). Not raised for the last time of a set (endOfSet follows instead).
    virtual void timeCompleted(int slot, const QString& lblCasD) {}

    // The set is complete: t_cas := false; enable edtM1, edtM2, edtMR, edtSDH, edtText; hide
    // DXCas1; then apply `o` (lines, list entries with their messages, errors, rotation).
    virtual void endOfSet(const ResultSetOutcome& o) {}

    // 0xA5: apply `o` (lines only, rotation); nothing is listed or sent.
    virtual void recall(const ResultSetOutcome& o) {}
};

// The first time line's text at the start byte.
inline constexpr QStringView kStartText = u"0,000";

// The second line for a status byte: bits 0..3 of the low half, one piece each. Attack modes:
// "L " / 4 blanks, "P " / 3 blanks, "L " / 4 blanks, "P " / 3 blanks. Otherwise (lanes and the
// initial mode): "1 ", "2 ", "3 ", "4 " / 3 blanks each.
QString statusText(quint8 status, MeasureMode mode);

class Decoder {
public:
    explicit Decoder(DecoderListener* listener = nullptr);

    void setListener(DecoderListener* listener) { listener_ = listener; }

    // --- Input -------------------------------------------------------------------------------
    void feed(quint8 byte);
    void feed(std::span<const quint8> bytes);
    void feed(QByteArrayView bytes);

    // --- Set-up from the console ---------------------------------------------------------------
    // nastav_typ: the operator chose a version or a format (also at start-up). Derives and keeps
    // the version values (BCas, format texts, ...) and returns them; lblFormat in the result uses the
    // current nast[0]. A frame in progress keeps the length fixed at its command byte.
    // The console stops t_cas and t_posun, shows/hides the format choice by the result, and sends
    // AM_Form (verze, result.format).
    const TypSettings& nastavTyp(int verze, int format);

    // The greeting's bytes, oldest first (the console waits for them). Parses them with the
    // current version (see parseGreeting), applies the settings (settingsApplied is raised) and
    // returns how many bytes were used; the console then feeds the remaining bytes.
    int applyGreeting(QByteArrayView bytes);

    // Nastav_uPC with the given bytes: stores them in nast, updates the mode, raises settingsApplied.
    void applySettings(const Nast& nast);
    // The port was lost: what the device sent meanwhile is unknown. A frame cut off is dropped
    // and the result set counts as ended: no time is stored (nor sent) until the next reset
    // byte, so that no set is made of times from before and after the loss. Stored times stay
    // for a recall; nothing is raised.
    void connectionLost();

    // --- Rotation of the second line (tmrPrep, every 2000 ms while rotationActive()) ----------------
    // Advances pcas and returns the new text of lblCasD; nullopt when there is nothing to show,
    // which also ends the rotation (stop tmrPrep).
    std::optional<QString> rotationTick();
    bool rotationActive() const { return rotation_; }

    // --- State (read-only) ----------------------------------------------------------------------
    bool prik_data() const { return prikData_; }
    quint8 inPrikaz() const { return inPrikaz_; }
    quint8 pocetByte() const { return pocetByte_; }
    quint8 bytu() const { return bytu_; }
    const Nast& nast() const { return nast_; }
    const TimeSlots& casy() const { return casy_; }
    const TimeRecord& slot(int i) const { return casy_[size_t(i - 1)]; } // i in 1..4
    quint8 casu() const { return casu_; }
    quint8 BCas() const { return typ_.BCas; }
    int verze() const { return typ_.verze; }
    int format() const { return typ_.format; }
    const TypSettings& typ() const { return typ_; }
    MeasureMode mode() const { return mode_; }
    int n() const { return setSize(nast_[0]); }
    quint8 pcas() const { return pcas_; }
    bool setComplete() const { return setDone_; }

private:
    void command(quint8 b);
    void frameByte(quint8 b);
    void applyOutcome(const ResultSetOutcome& o);

    DecoderListener* listener_ = nullptr;
    TypSettings typ_;
    bool prikData_ = false;
    quint8 inPrikaz_ = 0;
    quint8 pocetByte_ = 0;
    quint8 bytu_ = 0;
    bool storeFrame_ = false; // the open time frame goes into slot casu_
    Nast nast_{};
    TimeSlots casy_{};
    quint8 casu_ = 1;
    bool setDone_ = false; // end of set reported; cleared by reset
    MeasureMode mode_ = MeasureMode::None;
    quint8 pcas_ = 0;
    bool rotation_ = false;
};

} // namespace stopky
