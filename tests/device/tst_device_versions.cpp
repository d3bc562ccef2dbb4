// The table of device versions: zapisnik's texts and result widths per version number, which row
// a number that is not in the table gets, and that stopky reads zapisnik's own version like any
// other number.

#include "device/DeviceVersions.h"

#include <QTest>

class TstDeviceVersions : public QObject {
    Q_OBJECT
private slots:
    void zapisnikColumns_data();
    void zapisnikColumns();
    void unlistedNumbers_data();
    void unlistedNumbers();
    void stopkyColumnsOfZapisnikOnlyVersion();
};

// The status-line text and the stored-result width, row by row and for numbers without a row.
void TstDeviceVersions::zapisnikColumns_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::newRow("454") << 454 << "QX 4.54" << 6;
    QTest::newRow("456") << 456 << "QX 4.56" << 7;
    QTest::newRow("457") << 457 << "QX 4.57" << 7;
    QTest::newRow("458") << 458 << "QX 4.58" << 7;
    QTest::newRow("462") << 462 << "QX 4.62" << 6;
    QTest::newRow("463 has no text") << 463 << "" << 6;
    QTest::newRow("466") << 466 << "QX 4.66" << 7;
    QTest::newRow("467") << 467 << "QX 4.67" << 7;
    QTest::newRow("468") << 468 << "QX 4.68" << 7;
    QTest::newRow("490") << 490 << "QX 4.90" << 6;
    QTest::newRow("unlisted 471") << 471 << "" << 7;
    QTest::newRow("unlisted 0") << 0 << "" << 7;
}

void TstDeviceVersions::zapisnikColumns() {
    QFETCH(int, verze);
    QFETCH(QString, text);
    QFETCH(int, width);
    QCOMPARE(qx::versionText(verze), text);
    QCOMPARE(qx::deviceVersion(verze).resultWidth(), width);
}

// A number without a row of its own, including 0 (the number the last row is marked with), gets
// the last row; every listed number its own row.
void TstDeviceVersions::unlistedNumbers_data() {
    QTest::addColumn<int>("verze");
    QTest::addColumn<bool>("listed");
    for (int v : {454, 456, 457, 458, 462, 463, 466, 467, 468, 490})
        QTest::addRow("%d", v) << v << true;
    for (int v : {0, 455, 465, 471, 999, -454})
        QTest::addRow("unlisted %d", v) << v << false;
}

void TstDeviceVersions::unlistedNumbers() {
    QFETCH(int, verze);
    QFETCH(bool, listed);
    const qx::DeviceVersion& row = qx::deviceVersion(verze);
    const std::span<const qx::DeviceVersion> all = qx::deviceVersions();
    QCOMPARE(&row == &all.back(), !listed);
    QCOMPARE(qx::listedVersion(verze), listed);
    QCOMPARE(row.verze, listed ? verze : 0);
    int rowsWithThisNumber = 0;
    for (const qx::DeviceVersion& r : all)
        rowsWithThisNumber += r.verze == row.verze ? 1 : 0;
    QCOMPARE(rowsWithThisNumber, 1);
}

// stopky cannot be set to 490: a stray "Typ=490" in its settings file must leave it with the same
// defaults as any other unknown number, whatever zapisnik's columns of that row say.
void TstDeviceVersions::stopkyColumnsOfZapisnikOnlyVersion() {
    const qx::DeviceVersion& own = qx::deviceVersion(490);
    const qx::DeviceVersion& other = qx::deviceVersion(471);
    QVERIFY(!own.stopkyVersion);
    QCOMPARE(QByteArray(own.radioName), QByteArray(other.radioName));
    QCOMPARE(own.BCas, other.BCas);
    QCOMPARE(own.pocetB_Uvod, other.pocetB_Uvod);
    QCOMPARE(own.greetingBytes, other.greetingBytes);
    QVERIFY(own.layout == other.layout);
    QCOMPARE(own.settingsFrameBytes, other.settingsFrameBytes);
    QCOMPARE(own.prepFromNast1, other.prepFromNast1);
    QCOMPARE(own.lblNCasShown, other.lblNCasShown);
    QCOMPARE(own.maxTime, other.maxTime);
    QCOMPARE(own.formatU == nullptr, other.formatU == nullptr);
    QCOMPARE(own.formatS == nullptr, other.formatS == nullptr);
    QCOMPARE(own.formatOffered, other.formatOffered);
}

QTEST_APPLESS_MAIN(TstDeviceVersions)
#include "tst_device_versions.moc"
