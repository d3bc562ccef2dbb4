#include "data/Tdm_QX.h"
#include "export/ExportData.h"
#include "locale/CzechTranslations.h"
#include "messages/LocalChannel.h"
#include "messages/Messages.h"
#include "ui/QxDbIni.h"
#include "ui/TfrmQX.h"
#include "zaloha/Zaloha.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

// For the commands for scripts: standard error carries the command's own messages only (scripts
// read it); Qt's notes about the environment, such as a missing runtime folder, are left out.
void jenChybyNaStderr() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) QTextStream(stderr) << text << Qt::endl;
    });
}

// zapisnik --export-pdf FILE ...: the export for scripts, without a window and without a display.
int exportBezOkna(int argc, char* argv[], const qx::ExportParse& e) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    jenChybyNaStderr();
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("zapisnik"));
    QTextStream err(stderr);
    if (!e.prikaz) {
        err << "zapisnik: " << e.chyba << Qt::endl << qx::exportUsage();
        return 2;
    }
    qx::Tdm_QX dm(qx::nastaveniSpojeni());
    return qx::spustExport(*e.prikaz, dm, err);
}

// zapisnik --audit / --backup --competition ID: the history or the backup for scripts (cron),
// without a window and without a display.
int spravaBezOkna(int argc, char* argv[], const qx::SpravaParse& s) {
    jenChybyNaStderr();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zapisnik"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!s.prikaz) {
        err << "zapisnik: " << s.chyba << Qt::endl << qx::spravaUsage();
        return 2;
    }
    // The same server as the window's: qx_db.ini's [Databaze] with the environment over it.
    qx::Tdm_QX dm(qx::nastaveniSpojeni());
    return qx::spustSpravu(*s.prikaz, dm, out, err);
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList argumenty;
    for (int i = 1; i < argc; ++i)
        argumenty << QString::fromLocal8Bit(argv[i]);
    const qx::ExportParse e = qx::parsujExport(argumenty);
    if (e.pozadan) return exportBezOkna(argc, argv, e);
    const qx::SpravaParse sprava = qx::parsujSpravu(argumenty);
    if (sprava.pozadan) return spravaBezOkna(argc, argv, sprava);

    // zapisnik --serve PORT: the window with the results server on at PORT.
    int webPort = 0;
    if (const qsizetype i = argumenty.indexOf(QStringLiteral("--serve")); i >= 0) {
        bool ok = false;
        webPort = i + 1 < argumenty.size() ? argumenty[i + 1].toInt(&ok) : 0;
        if (!ok || webPort <= 0 || webPort > 65535) {
            QTextStream(stderr) << "zapisnik: --serve chce číslo portu 1 až 65535." << Qt::endl;
            return 2;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zapisnik"));
    qx::installCzechTranslations(app);

    // The channel's name is taken first: a second copy of the program ends here, before it
    // touches the database; any other failure is told and the program works alone.
    auto channel = std::make_unique<qx::LocalChannel>(qx::ZapisnikName);
    channel->listen();
    const qx::ListenProblem problem =
        qx::listenProblem(*channel, QStringLiteral("zapisnik"), QStringLiteral("stopky"));
    if (!problem.text.isEmpty()) {
        std::fprintf(stderr, "zapisnik: %s\n", qPrintable(problem.text));
        QMessageBox::warning(nullptr, QStringLiteral("zapisnik"), problem.text);
        if (problem.alreadyRunning) return 1;
    }

    // The data module comes first: the window's start-up loads data through it.
    // Where and as whom: qx_db.ini's [Databaze], with the environment's QX_DB_* over it.
    qx::Tdm_QX dm_QX(qx::nastaveniSpojeni());
    // The window listens on a channel of its own, which takes this one's socket over.
    channel->handOver();
    return runZapisnik(dm_QX, webPort);
}
