// Decoder throughput and the work per completed result set. Prints figures; asserts nothing.
//
//   bench_decoder [seconds-per-figure]     (default 1)
//
// Figures:
//  - bytes/s for three streams: a realistic one (settings, reset, start, status bytes, four-lane
//    and two-attack sets, recall), random bytes, and idle bytes (all ignored);
//  - per completed result set (four lanes, and two attacks): nanoseconds and heap allocations
//    (malloc/calloc/realloc calls, counted by interposing the C allocator in this program).

#include "link/Decoder.h"

#include <QByteArray>
#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

// ---- Allocation counter --------------------------------------------------------------------------
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
}
static thread_local unsigned long long g_allocs = 0;
extern "C" void* malloc(size_t n) {
    ++g_allocs;
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t a, size_t b) {
    ++g_allocs;
    return __libc_calloc(a, b);
}
extern "C" void* realloc(void* p, size_t n) {
    ++g_allocs;
    return __libc_realloc(p, n);
}
extern "C" void free(void* p) {
    __libc_free(p);
}

using namespace stopky;
using Clock = std::chrono::steady_clock;

namespace {

// A listener that touches what the console would read, so nothing is optimised away.
struct Sink : DecoderListener {
    unsigned long long chars = 0, sets = 0, entries = 0;
    void statusLine(const QString& t) override { chars += t.size(); }
    void timeCompleted(int, const QString& t) override { chars += t.size(); }
    void endOfSet(const ResultSetOutcome& o) override {
        ++sets;
        entries += o.entries.size();
        if (o.lblCas) chars += o.lblCas->size();
    }
    void recall(const ResultSetOutcome& o) override {
        if (o.lblCas) chars += o.lblCas->size();
    }
    void settingsApplied(const SettingsOutcome& o) override { chars += o.lblFormat.size(); }
};

QByteArray b(std::initializer_list<int> l) {
    QByteArray a;
    for (int v : l)
        a.append(char(v));
    return a;
}

// One run of each kind, as the device sends it (466, 4-byte times).
QByteArray laneRun() {
    return b({0x5A, 0x04, 0x55, 0xAA, 0xAB, 0xD0, 0xD1, 0xD3, 0xD7, 0xDF, 0xBA, 0x06, 0x00, 0x12, 0x34, 0xBA,
              0x07, 0x00, 0x23, 0x45, 0xBA, 0x08, 0x01, 0x34, 0x56, 0xBA, 0x09, 0x01, 0x45, 0x67, 0xA5});
}
QByteArray attackRun() {
    return b({0x5A, 0x0C, 0xAA, 0xAB, 0xD5, 0xDA, 0xBA, 0x00, 0x00, 0x12, 0x34, 0xBA, 0x03,
              0x00, 0x13, 0x45, 0xBA, 0x02, 0x00, 0x25, 0x00, 0xBA, 0x05, 0x00, 0x26, 0x66});
}

// Feeds `s` over and over for about `seconds`; returns bytes per second.
double throughput(const QByteArray& s, double seconds, Sink& sink) {
    Decoder d(&sink);
    d.nastavTyp(466, Tisiciny);
    d.applySettings({0x04, 0xA1, 0xAE});
    unsigned long long bytes = 0;
    const auto t0 = Clock::now();
    double elapsed = 0;
    do {
        for (int i = 0; i < 64; ++i)
            d.feed(QByteArrayView(s));
        bytes += 64ull * quint64(s.size());
        elapsed = std::chrono::duration<double>(Clock::now() - t0).count();
    } while (elapsed < seconds);
    return double(bytes) / elapsed;
}

struct PerSet {
    double ns;
    double allocs;
};

// Work of the last byte of a set (the end of set: texts, entries, message values) and of the whole run.
PerSet perSet(const QByteArray& run, int nast0, double seconds, bool wholeRun) {
    Sink sink;
    Decoder d(&sink);
    d.nastavTyp(466, Tisiciny);
    d.applySettings({quint8(nast0), 0xA1, 0xAE});
    const QByteArrayView head = QByteArrayView(run).first(run.size() - 1);
    const quint8 last = quint8(run.back());
    double ns = 0;
    unsigned long long allocs = 0, sets = 0;
    const auto t0 = Clock::now();
    while (std::chrono::duration<double>(Clock::now() - t0).count() < seconds) {
        if (!wholeRun) d.feed(head);
        const unsigned long long a0 = g_allocs;
        const auto s0 = Clock::now();
        if (wholeRun)
            d.feed(QByteArrayView(run));
        else
            d.feed(last);
        ns += std::chrono::duration<double, std::nano>(Clock::now() - s0).count();
        allocs += g_allocs - a0;
        ++sets;
    }
    return {ns / double(sets), double(allocs) / double(sets)};
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const double secs = argc > 1 ? std::atof(argv[1]) : 1.0;

    Sink sink;
    QByteArray realistic;
    for (int i = 0; i < 8; ++i)
        realistic += (i % 2 ? attackRun() : laneRun());
    QByteArray random(1 << 16, 0);
    std::mt19937 rng(1);
    for (char& c : random)
        c = char(rng());
    const QByteArray idle(1 << 16, char(0x00));

    std::printf("decoder throughput (%.1f s each)\n", secs);
    std::printf("  realistic stream : %8.1f MB/s\n", throughput(realistic, secs, sink) / 1e6);
    std::printf("  random bytes     : %8.1f MB/s\n", throughput(random, secs, sink) / 1e6);
    std::printf("  idle bytes       : %8.1f MB/s\n", throughput(idle, secs, sink) / 1e6);

    // Strip the trailing recall so that the set's last time byte ends the run.
    QByteArray lanes = laneRun();
    lanes.chop(1);
    const QByteArray attacks = attackRun();
    const PerSet l = perSet(lanes, 0x04, secs, false);
    const PerSet a = perSet(attacks, 0x0C, secs, false);
    const PerSet lw = perSet(lanes, 0x04, secs, true);
    const PerSet aw = perSet(attacks, 0x0C, secs, true);
    std::printf("end of set (last byte: texts, list entries, message values)\n");
    std::printf("  four lanes       : %8.0f ns, %5.1f allocations\n", l.ns, l.allocs);
    std::printf("  two attacks      : %8.0f ns, %5.1f allocations\n", a.ns, a.allocs);
    std::printf("whole run (settings frame, reset, start, status bytes, all times)\n");
    std::printf("  four lanes (%2lld B): %8.0f ns, %5.1f allocations\n", qint64(lanes.size()), lw.ns,
                lw.allocs);
    std::printf("  two attacks(%2lld B): %8.0f ns, %5.1f allocations\n", qint64(attacks.size()), aw.ns,
                aw.allocs);
    std::printf("(sink: %llu chars, %llu sets)\n", sink.chars, sink.sets);
    return 0;
}
