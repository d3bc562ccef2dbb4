// The 12-byte frame and the message names.
#include "messages/Frame.h"
#include "messages/Messages.h"

#include <QTest>

using qx::Frame;

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void messageNumbers();
    void byteOrder_data();
    void byteOrder();
    void splitAndMergedReads_data();
    void splitAndMergedReads();
    void names();
};

void TestCodec::messageNumbers() {
    QCOMPARE(qx::AM_Nast, 1490u);
    QCOMPARE(qx::AM_Cas1, 1491u);
    QCOMPARE(qx::AM_Cas2, 1492u);
    QCOMPARE(qx::AM_Text, 1493u);
    QCOMPARE(qx::AM_Form, 1494u);
    QCOMPARE(qx::AM_Mezi, 1495u);
    QCOMPARE(qx::StopkyName, QStringLiteral("TfrmCas"));
    QCOMPARE(qx::ZapisnikName, QStringLiteral("TfrmQX"));
}

void TestCodec::byteOrder_data() {
    QTest::addColumn<quint32>("message");
    QTest::addColumn<qint32>("wParam");
    QTest::addColumn<qint32>("lParam");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("AM_Cas1 attack") << qx::AM_Cas1 << 0 << 12345
                                    << QByteArray::fromHex("d3050000 00000000 39300000");
    QTest::newRow("AM_Nast 466, 0x0A")
        << qx::AM_Nast << 466 << 10 << QByteArray::fromHex("d2050000 d2010000 0a000000");
    QTest::newRow("negative params") << qx::AM_Mezi << -1 << -13456
                                     << QByteArray::fromHex("d7050000 ffffffff 70cbffff");
    QTest::newRow("extremes") << quint32(0xFFFFFFFFu) << qint32(INT_MIN) << qint32(INT_MAX)
                              << QByteArray::fromHex("ffffffff 00000080 ffffff7f");
}

void TestCodec::byteOrder() {
    QFETCH(quint32, message);
    QFETCH(qint32, wParam);
    QFETCH(qint32, lParam);
    QFETCH(QByteArray, bytes);
    const Frame f{message, wParam, lParam};
    QCOMPARE(qx::encodeFrame(f), bytes);
    QCOMPARE(qx::decodeFrame(bytes.constData()), f);
}

void TestCodec::splitAndMergedReads_data() {
    QTest::addColumn<QList<int>>("pieces"); // sizes of the reads, the rest in a last read
    QTest::newRow("one frame per read") << QList<int>{12, 12, 12, 12};
    QTest::newRow("byte by byte") << QList<int>(47, 1);
    QTest::newRow("all at once") << QList<int>{};
    QTest::newRow("frames cut at odd places") << QList<int>{5, 13, 1, 11, 17};
    QTest::newRow("two and a half, then rest") << QList<int>{30};
}

void TestCodec::splitAndMergedReads() {
    QFETCH(QList<int>, pieces);
    const QList<Frame> sent{
        {qx::AM_Mezi, 0, 0}, {qx::AM_Mezi, 1, 420}, {qx::AM_Cas1, 0, 12345}, {qx::AM_Cas2, 2, -13456}};
    QByteArray stream;
    for (const Frame& f : sent)
        stream += qx::encodeFrame(f);

    qx::FrameDecoder decoder;
    QList<Frame> received;
    qsizetype pos = 0;
    for (int n : pieces) {
        decoder.feed(QByteArrayView(stream).sliced(pos, n), received);
        pos += n;
        QCOMPARE(received.size(), pos / qx::FrameSize);
        QCOMPARE(decoder.pendingBytes(), int(pos % qx::FrameSize));
    }
    decoder.feed(QByteArrayView(stream).sliced(pos), received);
    QCOMPARE(received, sent);
    QCOMPARE(decoder.pendingBytes(), 0);

    // An unfinished frame is dropped by reset, and the next stream starts clean.
    decoder.feed(QByteArrayView(stream).first(7), received);
    decoder.reset();
    QCOMPARE(decoder.feed(QByteArrayView(stream).first(12)), QList<Frame>{sent.first()});
}

void TestCodec::names() {
    QCOMPARE(qx::messageName(qx::AM_Form), QStringLiteral("AM_Form"));
    QCOMPARE(qx::messageName(7), QStringLiteral("7"));
    QCOMPARE(qx::messageFromName(u"am_mezi"), std::optional<quint32>(qx::AM_Mezi));
    QCOMPARE(qx::messageFromName(u"1493"), std::optional<quint32>(qx::AM_Text));
    QVERIFY(!qx::messageFromName(u"AM_Nic").has_value());
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
