// Robustness of the byte decoder: seeded random and mutated byte streams for every device version,
// built with AddressSanitizer and UndefinedBehaviorSanitizer (see CMakeLists.txt), checking the
// decoder's invariants after every byte. By default bounded by a byte budget and a time budget,
// whichever comes first. QX_FUZZ_SEED overrides the seed; QX_FUZZ_SECONDS sets the length of
// the run: it runs that long (no byte budget), so that a longer run tries more bytes.

#include "display/TimeText.h"
#include "link/Decoder.h"

#include <QElapsedTimer>
#include <QTest>

#include <limits>
#include <optional>
#include <random>

using namespace stopky;

namespace {

// Checks every callback against what the console may rely on.
class Checker : public DecoderListener {
public:
    const Decoder* d = nullptr;
    int endsThisSet = 0;
    qint64 ends = 0, times = 0, settings = 0, recalls = 0, statuses = 0, errors = 0, resets = 0;
    QString failure;

    void fail(const QString& why) {
        if (failure.isEmpty()) failure = why;
    }
    void checkOutcome(const ResultSetOutcome& o, bool recall) {
        if (o.entries.size() > 4) fail(QStringLiteral("more than four entries"));
        if (recall && !o.entries.empty()) fail(QStringLiteral("recall lists entries"));
        if (o.pcas && *o.pcas > 3) fail(QStringLiteral("pcas %1").arg(*o.pcas));
        if (o.startRotation && (!o.pcas || *o.pcas < 2)) fail(QStringLiteral("rotation without pcas > 1"));
        for (const ResultEntry& e : o.entries) {
            if (e.ok == e.messages.empty()) fail(QStringLiteral("entry ok/messages mismatch"));
            if (!e.ok) {
                ++errors;
                if (e.error.isEmpty()) fail(QStringLiteral("error without text"));
                continue;
            }
            const AmSend& m = e.messages[0];
            if (m.msg != AM_Cas1) fail(QStringLiteral("first message is not AM_Cas1"));
            if (e.messages.size() == 1) {
                if (m.wParam < 6 || m.wParam > 9) fail(QStringLiteral("lane WParam %1").arg(m.wParam));
            } else if (e.messages.size() == 2) {
                if (m.wParam != 0 && m.wParam != 1) fail(QStringLiteral("attack WParam %1").arg(m.wParam));
                if (e.messages[1].msg != AM_Cas2 || e.messages[1].wParam != 2)
                    fail(QStringLiteral("bad AM_Cas2"));
            } else {
                fail(QStringLiteral("%1 messages").arg(e.messages.size()));
            }
        }
    }

    void settingsApplied(const SettingsOutcome& o) override {
        ++settings;
        if (o.n != (o.nast[0] & 7)) fail(QStringLiteral("n"));
        if (!o.lblPriprava.contains(u':')) fail(QStringLiteral("lblPriprava"));
    }
    void reset() override {
        ++resets;
        endsThisSet = 0;
    }
    void statusLine(const QString& t) override {
        ++statuses;
        if (t.size() < 8 || t.size() > 14) fail(QStringLiteral("status length %1").arg(t.size()));
    }
    void timeCompleted(int slot, const QString& text) override {
        ++times;
        if (slot < 1 || slot > 3) fail(QStringLiteral("time slot %1").arg(slot));
        if (slot >= d->n()) fail(QStringLiteral("time slot %1 with n %2").arg(slot).arg(d->n()));
        if (endsThisSet) fail(QStringLiteral("time after the end of its set"));
        if (text != CasToStr(d->slot(slot), true, d->verze(), d->format())) fail(QStringLiteral("time text"));
    }
    void endOfSet(const ResultSetOutcome& o) override {
        ++ends;
        if (++endsThisSet > 1) fail(QStringLiteral("end of set twice in one set"));
        if (!validSetSize(d->n())) fail(QStringLiteral("end of set with n %1").arg(d->n()));
        if (d->casu() <= d->n() || d->casu() > 5)
            fail(QStringLiteral("end of set with casu %1, n %2").arg(d->casu()).arg(d->n()));
        if (!attackBit(d->nast()[0]) && int(o.entries.size()) != d->n()) fail(QStringLiteral("lane entries"));
        checkOutcome(o, false);
    }
    void recall(const ResultSetOutcome& o) override {
        ++recalls;
        checkOutcome(o, true);
    }
};

void checkState(const Decoder& d, Checker& c) {
    if (d.casu() < 1 || d.casu() > 5) c.fail(QStringLiteral("casu %1").arg(d.casu()));
    if (d.prik_data()) {
        if (d.bytu() >= d.pocetByte())
            c.fail(QStringLiteral("bytu %1 of %2").arg(d.bytu()).arg(d.pocetByte()));
        if (d.pocetByte() < 1 || d.pocetByte() > 4) c.fail(QStringLiteral("pocetByte %1").arg(d.pocetByte()));
        if (d.inPrikaz() != 0x5A && d.inPrikaz() != 0xBA) c.fail(QStringLiteral("inPrikaz"));
    }
}

const int kVersions[] = {454, 456, 457, 458, 462, 463, 466, 467, 468, 999};

// A stream that looks like the device's: commands, settings and time frames with mostly valid
// digits and codes, then mutated.
QByteArray protocolStream(std::mt19937_64& rng, int length) {
    auto r = [&](int n) { return int(rng() % quint64(n)); };
    QByteArray s;
    s.reserve(length + 8);
    while (s.size() < length) {
        switch (r(12)) {
        case 0:
            s.append(char(0xAA));
            break;
        case 1:
            s.append(char(0xAB));
            break;
        case 2:
            s.append(char(0x5A));
            s.append(char(r(3) == 0 ? r(256) : (r(16) | (r(8) << 4) | (r(2) << 7))));
            if (r(2)) s.append(char(r(2) ? 0xA1 : r(256)));
            break;
        case 3:
            s.append(char(0xD0 | r(16)));
            break;
        case 4:
            s.append(char(0xA5));
            break;
        case 5: {
            static const quint8 cmds[] = {0x55, 0xA1, 0xA2, 0xAC, 0xAE};
            s.append(char(cmds[r(5)]));
            break;
        }
        default: {
            s.append(char(0xBA));
            const int code = r(8) == 0 ? r(256) : r(10);
            s.append(char(r(2) ? code : (code << 4) | r(10)));
            for (int i = 0; i < 3; ++i)
                s.append(char(r(10) | (r(10) << 4)));
            break;
        }
        }
    }
    // Mutations: flip, insert, delete, duplicate a piece.
    const int mutations = r(6);
    for (int m = 0; m < mutations && !s.isEmpty(); ++m) {
        const int at = r(int(s.size()));
        switch (r(4)) {
        case 0:
            s[at] = char(quint8(s[at]) ^ (1u << r(8)));
            break;
        case 1:
            s.insert(at, char(r(256)));
            break;
        case 2:
            s.remove(at, 1 + r(3));
            break;
        default:
            s.insert(at, s.mid(r(int(s.size())), 1 + r(8)));
            break;
        }
    }
    return s;
}

// How long a run goes on: a time budget and, unless QX_FUZZ_SECONDS chose the time, a byte
// budget (whichever ends first).
struct Budget {
    double seconds = 15;
    std::optional<qint64> bytes = 30'000'000;
};

Budget budgetFromEnvironment() {
    Budget b;
    if (qEnvironmentVariableIsSet("QX_FUZZ_SECONDS")) {
        bool ok = false;
        const double s = qEnvironmentVariable("QX_FUZZ_SECONDS").toDouble(&ok);
        if (ok && s > 0) {
            b.seconds = s;
            b.bytes.reset();
        }
    }
    return b;
}

} // namespace

class TstDecoderFuzz : public QObject {
    Q_OBJECT
private slots:
    void budgetFollowsTheEnvironment_data();
    void budgetFollowsTheEnvironment();
    void randomAndMutatedStreams();
};

void TstDecoderFuzz::budgetFollowsTheEnvironment_data() {
    QTest::addColumn<QByteArray>("seconds"); // QX_FUZZ_SECONDS; empty: unset
    QTest::addColumn<double>("runSeconds");
    QTest::addColumn<bool>("byteBudget");
    QTest::newRow("unset: the default, bounded by bytes too") << QByteArray() << 15.0 << true;
    QTest::newRow("longer: runs that long") << QByteArray("600") << 600.0 << false;
    QTest::newRow("shorter: runs that long") << QByteArray("2.5") << 2.5 << false;
    QTest::newRow("not a number: the default") << QByteArray("lang") << 15.0 << true;
}

void TstDecoderFuzz::budgetFollowsTheEnvironment() {
    QFETCH(QByteArray, seconds);
    QFETCH(double, runSeconds);
    QFETCH(bool, byteBudget);
    const QByteArray saved = qgetenv("QX_FUZZ_SECONDS");
    const bool wasSet = qEnvironmentVariableIsSet("QX_FUZZ_SECONDS");
    if (seconds.isEmpty())
        qunsetenv("QX_FUZZ_SECONDS");
    else
        qputenv("QX_FUZZ_SECONDS", seconds);
    const Budget b = budgetFromEnvironment();
    if (wasSet)
        qputenv("QX_FUZZ_SECONDS", saved);
    else
        qunsetenv("QX_FUZZ_SECONDS");
    QCOMPARE(b.seconds, runSeconds);
    QCOMPARE(b.bytes.has_value(), byteBudget);
}

void TstDecoderFuzz::randomAndMutatedStreams() {
    quint64 seed = 20261209;
    if (qEnvironmentVariableIsSet("QX_FUZZ_SEED")) seed = qEnvironmentVariable("QX_FUZZ_SEED").toULongLong();
    const Budget budget = budgetFromEnvironment();
    const double seconds = budget.seconds;
    const qint64 byteBudget = budget.bytes.value_or(std::numeric_limits<qint64>::max());
    std::mt19937_64 rng(seed);
    auto r = [&](int n) { return int(rng() % quint64(n)); };

    QElapsedTimer clock;
    clock.start();
    qint64 bytesFed = 0, streams = 0;
    Checker total;
    while (bytesFed < byteBudget && clock.elapsed() < qint64(seconds * 1000)) {
        for (int verze : kVersions) {
            Checker c;
            Decoder d(&c);
            c.d = &d;
            d.nastavTyp(verze, r(2));
            const QByteArray greeting = protocolStream(rng, 3 + r(3)).left(3 + r(2));
            const int used = d.applyGreeting(greeting);
            if (used < 0 || used > greeting.size()) QFAIL("greeting used");
            const bool randomBytes = r(4) == 0;
            QByteArray s = randomBytes ? QByteArray() : protocolStream(rng, 200 + r(2000));
            if (randomBytes) {
                s.resize(200 + r(4000));
                for (char& ch : s)
                    ch = char(rng());
            }
            s.prepend(greeting.mid(used));
            for (qsizetype i = 0; i < s.size(); ++i) {
                d.feed(quint8(s[i]));
                checkState(d, c);
                // Now and then what the console does between bytes.
                const int k = r(512);
                if (k == 0)
                    d.nastavTyp(kVersions[r(10)], r(2));
                else if (k == 1 && d.rotationActive()) {
                    if (const auto t = d.rotationTick(); t && t->isEmpty())
                        c.fail(QStringLiteral("empty rotation"));
                } else if (k == 2)
                    d.applySettings({quint8(rng()), quint8(rng()), quint8(rng())});
                if (!c.failure.isEmpty()) {
                    QFAIL(qPrintable(QStringLiteral("seed %1, version %2, stream %3, byte %4: %5")
                                         .arg(seed)
                                         .arg(verze)
                                         .arg(streams)
                                         .arg(i)
                                         .arg(c.failure)));
                }
            }
            bytesFed += s.size();
            ++streams;
            total.ends += c.ends;
            total.times += c.times;
            total.errors += c.errors;
            total.recalls += c.recalls;
            total.resets += c.resets;
        }
    }
    qInfo("seed %llu: %lld streams, %lld bytes in %lld ms; %lld resets, %lld times, %lld sets, %lld recalls, "
          "%lld conversion errors",
          seed, streams, bytesFed, clock.elapsed(), total.resets, total.times, total.ends, total.recalls,
          total.errors);
    // The run must have exercised the decoder, not just spun.
    QVERIFY(bytesFed >= 1'000'000);
    QVERIFY(total.ends > 1000);
    QVERIFY(total.errors > 0);
}

QTEST_APPLESS_MAIN(TstDecoderFuzz)
#include "tst_decoder_fuzz.moc"
