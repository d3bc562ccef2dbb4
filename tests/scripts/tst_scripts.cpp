// The run and test commands: what each one builds. The tools they call (cmake, ctest, dpkg-query,
// the MariaDB programs) and the two programs are stand-ins that write their arguments to a log,
// so the scripts run in a second without installing, building or starting anything.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool writeScript(const QString& path, const QByteArray& body) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    f.write("#!/usr/bin/env bash\n" + body);
    f.close();
    return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                            QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

} // namespace

class TestScripts : public QObject {
    Q_OBJECT
private slots:
    void buildsWhatTheCommandNeeds_data();
    void buildsWhatTheCommandNeeds();
};

void TestScripts::buildsWhatTheCommandNeeds_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("targets"); // empty: everything

    // The run command needs the two programs and the tools a user runs beside them; tests,
    // benchmarks and the sanitizer build are left to the test command.
    QTest::newRow("run.sh") << QStringLiteral("run.sh")
                            << QStringList{QStringLiteral("stopky"), QStringLiteral("zapisnik"),
                                           QStringLiteral("qx-sim"), QStringLiteral("qx-msg")};
    QTest::newRow("test.sh") << QStringLiteral("test.sh") << QStringList{};
}

void TestScripts::buildsWhatTheCommandNeeds() {
    QFETCH(QString, script);
    QFETCH(QStringList, targets);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString bin = dir.filePath(QStringLiteral("bin"));
    const QString build = dir.filePath(QStringLiteral("build"));
    const QString log = dir.filePath(QStringLiteral("log"));
    QVERIFY(QDir().mkpath(bin));
    QVERIFY(QDir().mkpath(build + QStringLiteral("/stopky")));
    QVERIFY(QDir().mkpath(build + QStringLiteral("/zapisnik")));

    const QByteArray logged = "echo \"$(basename \"$0\") $*\" >> \"$QX_TEST_LOG\"\n";
    for (const char* name :
         {"cmake", "ctest", "mariadb", "mariadb-admin", "mariadb-install-db", "mariadbd", "apt-get", "sudo"})
        QVERIFY(writeScript(bin + u'/' + QLatin1String(name), logged));
    // The formatting check passes without reading the source tree.
    QVERIFY(writeScript(bin + QStringLiteral("/clang-format"), "exit 0\n"));
    // Every package counts as installed.
    QVERIFY(writeScript(bin + QStringLiteral("/dpkg-query"), "echo 'install ok installed'\n"));
    QVERIFY(writeScript(build + QStringLiteral("/stopky/stopky"), logged));
    QVERIFY(writeScript(build + QStringLiteral("/zapisnik/zapisnik"), logged));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), bin + u':' + env.value(QStringLiteral("PATH")));
    env.insert(QStringLiteral("QX_TEST_LOG"), log);
    env.insert(QStringLiteral("QX_BUILD_DIR"), build);
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("TMPDIR"), dir.path());
    env.insert(QStringLiteral("MYSQL_UNIX_PORT"), dir.filePath(QStringLiteral("mysqld.sock")));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral("bash"), {QStringLiteral(QX_SOURCE_DIR "/scripts/") + script});
    QVERIFY(p.waitForFinished(60000));
    QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
             qPrintable(QString::fromUtf8(p.readAllStandardError())));

    QFile f(log);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QStringList builds;
    QStringList lines;
    for (const QByteArray& line : f.readAll().split('\n')) {
        lines << QString::fromUtf8(line);
        if (line.startsWith("cmake --build")) builds << QString::fromUtf8(line);
    }
    QVERIFY2(builds.size() == 1, qPrintable(lines.join(u'\n')));
    const QStringList words = builds.first().split(u' ', Qt::SkipEmptyParts);
    QStringList built;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (words[i] == u"--target") {
            while (i + 1 < words.size() && !words[i + 1].startsWith(u'-'))
                built << words[++i];
        }
    }
    built.sort();
    targets.sort();
    QCOMPARE(built, targets);
}

QTEST_GUILESS_MAIN(TestScripts)
#include "tst_scripts.moc"
