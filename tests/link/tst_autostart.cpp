#include "link/autostart.h"
#include "link/countdown.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <map>

using namespace stopky;

namespace {

// One log for sounds and DTR calls, with the time of each entry.
struct Log {
    QElapsedTimer clock;
    QStringList what;
    QList<qint64> when;
    Log() { clock.start(); }
    void add(const QString& s) {
        what << s;
        when << clock.elapsed();
    }
    qint64 at(const QString& s) const { return when.value(what.indexOf(s), -1); }
};

struct FakeSound : SoundOutput {
    Log& log;
    std::map<QString, std::function<void()>> pending;
    explicit FakeSound(Log& l) : log(l) {}
    void play(const QString& name, std::function<void()> done) override {
        log.add(name + (done ? QStringLiteral(" sync") : QStringLiteral(" async")));
        if (done) pending[name] = std::move(done);
    }
    void end(const QString& name) {
        auto it = pending.find(name);
        QVERIFY2(it != pending.end(), qPrintable(name));
        auto done = std::move(it->second);
        pending.erase(it);
        done();
    }
};

struct FakeDtr : DtrLine {
    Log& log;
    explicit FakeDtr(Log& l) : log(l) {}
    void setDtr(bool high) override {
        log.add(high ? QStringLiteral("DTR high") : QStringLiteral("DTR low"));
    }
};

} // namespace

class TestAutoStart : public QObject {
    Q_OBJECT
private slots:
    void sequence_data() {
        QTest::addColumn<int>("random");
        QTest::newRow("shortest pause") << 0;
        QTest::newRow("pause 100 + 250") << 250;
    }
    void sequence() {
        QFETCH(int, random);
        Log log;
        FakeSound sound(log);
        FakeDtr dtr(log);
        AutoStart a(&sound, &dtr);
        a.setRandom([random] { return random; });
        QSignalSpy captions(&a, &AutoStart::captionChanged);

        QCOMPARE(a.caption(), QStringLiteral("Automatický start"));
        QVERIFY(!a.isEnabled());
        a.click(); // disabled until the first reset byte
        QVERIFY(log.what.isEmpty());

        a.reset();
        QVERIFY(a.isEnabled());
        a.click();
        QCOMPARE(a.caption(), QStringLiteral("Pozor!!!"));
        QCOMPARE(log.what, QStringList{"zacatek.wav sync"});
        a.click(); // while the cue still sounds: taken afterwards
        QCOMPARE(log.what.size(), 1);
        sound.end(QStringLiteral("zacatek.wav"));
        QVERIFY(!a.isEnabled());
        QCOMPARE(log.what.last(), QStringLiteral("pozor.wav sync"));

        const qint64 pozorEnd = log.clock.elapsed();
        sound.end(QStringLiteral("pozor.wav"));
        QCOMPARE(log.what.size(), 2); // the pause runs on a timer
        QTRY_COMPARE(log.what.size(), 5);
        QCOMPARE(log.what, (QStringList{"zacatek.wav sync", "pozor.wav sync", "vystrel.wav async", "DTR high",
                                        "DTR low"}));
        QVERIFY2(log.at("vystrel.wav async") - pozorEnd >= 100 + random,
                 qPrintable(QString::number(log.at("vystrel.wav async") - pozorEnd)));
        QVERIFY(log.at("DTR low") - log.at("DTR high") >= 5);
        QCOMPARE(a.caption(), QStringLiteral("Odstartováno!!!"));
        QVERIFY(!a.isEnabled());
        QCOMPARE(captions.size(), 2);
        a.click(); // stays disabled until the next reset
        QCOMPARE(log.what.size(), 5);

        a.reset();
        QCOMPARE(a.caption(), QStringLiteral("Automatický start"));
        QVERIFY(a.isEnabled());
    }

    void resetCancels_data() {
        QTest::addColumn<QString>("stage");
        QTest::addColumn<QStringList>("expected"); // the whole log
        QTest::newRow("during zacatek.wav, click queued") << "zacatek" << QStringList{"zacatek.wav sync"};
        QTest::newRow("during pozor.wav") << "pozor" << QStringList{"zacatek.wav sync", "pozor.wav sync"};
        QTest::newRow("during the pause") << "pause" << QStringList{"zacatek.wav sync", "pozor.wav sync"};
        QTest::newRow("during the DTR pulse")
            << "pulse"
            << QStringList{"zacatek.wav sync", "pozor.wav sync", "vystrel.wav async", "DTR high", "DTR low"};
    }
    void resetCancels() {
        QFETCH(QString, stage);
        QFETCH(QStringList, expected);
        Log log;
        FakeSound sound(log);
        FakeDtr dtr(log);
        AutoStart a(&sound, &dtr);
        a.setRandom([] { return 100; });
        a.setPulseWidth(300);
        a.reset();
        a.click();
        a.click();
        if (stage != QLatin1String("zacatek")) {
            sound.end(QStringLiteral("zacatek.wav"));
            if (stage != QLatin1String("pozor")) {
                sound.end(QStringLiteral("pozor.wav"));
                if (stage == QLatin1String("pulse"))
                    QTRY_COMPARE(log.what.size(), 4); // DTR is high now
                else
                    QTest::qWait(50);
            }
        }
        a.reset();
        QCOMPARE(a.caption(), QStringLiteral("Automatický start"));
        QVERIFY(a.isEnabled());
        // sounds that end after the reset change nothing
        for (const auto& [name, done] : std::map(sound.pending))
            sound.end(name);
        QTest::qWait(500);
        QCOMPARE(log.what, expected);
        QCOMPARE(a.caption(), QStringLiteral("Automatický start"));
        QVERIFY(a.isEnabled());
    }

    // Without a sound output the sounds are over at once; the DTR line can be swapped.
    void withoutSoundAndSwappedLine() {
        Log oldLog, log;
        FakeDtr oldDtr(oldLog), dtr(log);
        AutoStart a(nullptr, &oldDtr);
        a.setRandom([] { return 0; });
        a.reset();
        a.click();
        a.setDtrLine(&dtr);
        a.click();
        QTRY_COMPARE(log.what, (QStringList{"DTR high", "DTR low"}));
        QVERIFY(oldLog.what.isEmpty());
        QCOMPARE(a.caption(), QStringLiteral("Odstartováno!!!"));
    }

    void countdownTexts_data() {
        QTest::addColumn<QString>("priprava");
        QTest::addColumn<QStringList>("first"); // the texts shown first
        QTest::addColumn<int>("ticksToEnd");    // ticks until the line is empty
        QTest::newRow("0:30") << "0:30" << QStringList{"0,30 ", "0,29 ", "0,28 "} << 31;
        QTest::newRow("5:00") << "5:00" << QStringList{"5,00 ", "4,59 ", "4,58 "} << 301;
        QTest::newRow("2:30") << "2:30" << QStringList{"2,30 ", "2,29 "} << 151;
        QTest::newRow("12:30") << "12:30" << QStringList{"12,30 ", "12,29 "} << 751;
    }
    void countdownTexts() {
        QFETCH(QString, priprava);
        QFETCH(QStringList, first);
        QFETCH(int, ticksToEnd);
        Countdown c;
        c.setTickInterval(3600 * 1000); // ticks are driven by hand
        QStringList texts;
        connect(&c, &Countdown::textChanged, [&](const QString& t) { texts << t; });
        QSignalSpy finished(&c, &Countdown::finished);
        c.start(priprava);
        QVERIFY(c.isRunning());
        for (int i = 0; i < ticksToEnd; ++i)
            c.tick();
        QCOMPARE(texts.mid(0, first.size()), first);
        QCOMPARE(texts.size(), ticksToEnd + 1);
        QCOMPARE(texts.value(texts.size() - 2), QStringLiteral("0,00 "));
        QCOMPARE(texts.last(), QString());
        QVERIFY(!c.isRunning());
        QCOMPARE(finished.size(), 1);
    }

    void strToPrip() {
        QCOMPARE(StrToPrip(QStringLiteral("5:00")), 5);
        QCOMPARE(StrToPrip(QStringLiteral("12:30")), 12);
        QCOMPARE(StrToPrip(QStringLiteral("500")), 50);
        QCOMPARE(StrToPrip(QStringLiteral("7")), 7);
        QCOMPARE(StrToPrip(QString()), 0);
    }

    void secondPreparationKeepsThePhase() {
        Countdown c;
        c.setTickInterval(400);
        QElapsedTimer clock;
        QList<qint64> tickTimes;
        QStringList texts;
        connect(&c, &Countdown::textChanged, [&](const QString& t) {
            texts << t;
            tickTimes << clock.elapsed();
        });
        clock.start();
        c.start(QStringLiteral("5:00"));
        QTest::qWait(200);
        c.start(QStringLiteral("5:00")); // set back, timer not restarted
        QCOMPARE(texts.last(), QStringLiteral("5,00 "));
        QTRY_COMPARE(texts.size(), 3);
        QCOMPARE(texts.last(), QStringLiteral("4,59 "));
        // the first tick comes one period after the first 0x55, not after the second
        QVERIFY2(tickTimes.last() < 560, qPrintable(QString::number(tickTimes.last())));

        c.stop(); // start or reset byte
        QTest::qWait(900);
        QCOMPARE(texts.size(), 3);
        QVERIFY(!c.isRunning());
    }
};

QTEST_GUILESS_MAIN(TestAutoStart)
#include "tst_autostart.moc"
