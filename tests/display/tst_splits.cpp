// Split times: rounding, the order of the rows, MR and what is sent.

#include "display/TimeRecord.h"
#include "display/splits.h"

#include <QTest>

using namespace stopky;

using Names = std::array<QString, 4>;

class TstSplits : public QObject {
    Q_OBJECT
private slots:
    void rounding_data();
    void rounding();
    void threePressesThenNothing();
    void emptyNameAndFormatPerSplit();
    void secondRunWithoutReset();
};

void TstSplits::rounding_data() {
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<int>("format");
    QTest::addColumn<qint64>("q");
    QTest::addColumn<QString>("text");
    QTest::newRow("12346 ms hundredths") << qint64(12346) << int(Setiny) << qint64(1235) << "12,35";
    QTest::newRow("12346 ms thousandths") << qint64(12346) << int(Tisiciny) << qint64(12346) << "12,346";
    QTest::newRow("5049 ms rounds up, the clock cut it to 5,04")
        << qint64(5049) << int(Setiny) << qint64(505) << "5,05";
    QTest::newRow("half to even, down") << qint64(5045) << int(Setiny) << qint64(504) << "5,04";
    QTest::newRow("half to even, up") << qint64(5055) << int(Setiny) << qint64(506) << "5,06";
    QTest::newRow("5 ms is half of the first unit") << qint64(5) << int(Setiny) << qint64(0) << "0,00";
    QTest::newRow("15 ms") << qint64(15) << int(Setiny) << qint64(2) << "0,02";
    QTest::newRow("70 ms") << qint64(70) << int(Setiny) << qint64(7) << "0,07";
    QTest::newRow("7 ms thousandths") << qint64(7) << int(Tisiciny) << qint64(7) << "0,007";
}

void TstSplits::rounding() {
    QFETCH(qint64, ms);
    QFETCH(int, format);
    QFETCH(qint64, q);
    QFETCH(QString, text);
    SplitTimes s;
    const auto out = s.mezicas(ms, format, Names{QStringLiteral("Koš"), {}, {}, {}});
    QCOMPARE(out.rows, QList<int>{SplitTimes::M0});
    QCOMPARE(s.row(SplitTimes::M0).count, q);
    QCOMPARE(s.row(SplitTimes::M0).time, text);
    QCOMPARE(out.messages, (QList<SplitTimes::AmMezi>{{1, q}}));
}

void TstSplits::threePressesThenNothing() {
    SplitTimes s;
    const Names names{QStringLiteral("Koš"), QStringLiteral("Rozdělovač"), QStringLiteral("Terč"),
                      QStringLiteral("Rozdíl")};
    QList<SplitTimes::AmMezi> sent;
    auto out = s.mezicas(8004, Setiny, names);
    QCOMPARE(out.rows, QList<int>{0});
    sent += out.messages;
    out = s.mezicas(15000, Setiny, names);
    QCOMPARE(out.rows, QList<int>{1});
    sent += out.messages;
    QVERIFY(!s.row(SplitTimes::M2).taken());
    QVERIFY(!s.row(SplitTimes::MR).taken());
    out = s.mezicas(22500, Setiny, names);
    QCOMPARE(out.rows, (QList<int>{2, 3}));
    sent += out.messages;

    QCOMPARE(sent, (QList<SplitTimes::AmMezi>{{1, 800}, {2, 1500}, {3, 2250}, {4, 750}}));
    const QStringList times{s.row(0).time, s.row(1).time, s.row(2).time, s.row(3).time};
    QCOMPARE(times, (QStringList{"8,00", "15,00", "22,50", "7,50"}));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(s.row(i).name, names[static_cast<std::size_t>(i)]);
    QCOMPARE(s.consoleText(SplitTimes::M1), QStringLiteral("Rozdělovač: 15,00"));
    QCOMPARE(s.consoleText(SplitTimes::MR), QStringLiteral("Rozdíl: 7,50"));

    // A fourth press takes nothing, sends nothing and leaves the rows as they are.
    out =
        s.mezicas(30000, Tisiciny,
                  Names{QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("x")});
    QVERIFY(out.rows.isEmpty());
    QVERIFY(out.messages.isEmpty());
    QCOMPARE(s.row(SplitTimes::MR).time, QStringLiteral("7,50"));
    QCOMPARE(s.row(SplitTimes::M0).name, QStringLiteral("Koš"));

    // The reset byte empties every row; the next press takes M0 again.
    s.clear();
    for (int i = 0; i < 4; ++i)
        QVERIFY(!s.row(i).taken());
    out = s.mezicas(1000, Setiny, names);
    QCOMPARE(out.messages, (QList<SplitTimes::AmMezi>{{1, 100}}));
}

void TstSplits::emptyNameAndFormatPerSplit() {
    SplitTimes s;
    s.mezicas(1234, Tisiciny, Names{});
    QCOMPARE(s.consoleText(SplitTimes::M0), QStringLiteral(": 1,234"));
    // The unit is read at each split.
    const auto out = s.mezicas(2345, Setiny, Names{});
    QCOMPARE(s.row(SplitTimes::M1).time, QStringLiteral("2,34"));
    QCOMPARE(out.messages, (QList<SplitTimes::AmMezi>{{2, 234}}));
}

void TstSplits::secondRunWithoutReset() {
    SplitTimes s;
    const Names names{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};
    s.mezicas(4000, Setiny, names);
    s.mezicas(9000, Setiny, names);
    // A new start without a reset byte: the count restarts, the taken rows stay taken, so the
    // next split goes to M2 and MR is measured against the previous run's M1.
    const auto out = s.mezicas(3000, Setiny, names);
    QCOMPARE(out.rows, (QList<int>{2, 3}));
    QCOMPARE(out.messages, (QList<SplitTimes::AmMezi>{{3, 300}, {4, -600}}));
    QCOMPARE(s.row(SplitTimes::MR).time, QStringLiteral("-6,00"));
    QVERIFY(s.mezicas(5000, Setiny, names).rows.isEmpty());
}

QTEST_APPLESS_MAIN(TstSplits)
#include "tst_splits.moc"
