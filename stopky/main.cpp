#include "console/TfrmCas.h"
#include "device/DeviceVersions.h"
#include "link/VersionTable.h"
#include "link/serialports.h"
#include "locale/CzechTranslations.h"
#include "messages/LocalChannel.h"
#include "messages/Messages.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("stopky"));
    const QStringList args = QApplication::arguments();
    const stopky::VersionArgument version = stopky::versionArgument(args);
    if (version.given && version.verze == 0) {
        QStringList known;
        for (const qx::DeviceVersion& v : qx::deviceVersions()) {
            if (v.stopkyVersion) known << QString::number(v.verze);
        }
        const QString msg = QStringLiteral("stopky: --version: „%1“ není verze časomíry (%2)\n")
                                .arg(version.text, known.join(QStringLiteral(", ")));
        std::fputs(msg.toLocal8Bit().constData(), stderr);
        return 2;
    }
    qx::installCzechTranslations(app);

    // The channel's name is taken first: a second copy of the program ends here, before it opens
    // a port or reads a setting; any other failure is told and the console works alone.
    auto channel = std::make_unique<qx::LocalChannel>(qx::StopkyName);
    channel->listen();
    const qx::ListenProblem problem =
        qx::listenProblem(*channel, QStringLiteral("stopky"), QStringLiteral("zapisnik"));
    if (!problem.text.isEmpty()) {
        std::fprintf(stderr, "stopky: %s\n", qPrintable(problem.text));
        QMessageBox::warning(nullptr, QStringLiteral("stopky"), problem.text);
        if (problem.alreadyRunning) return 1;
    }

    TfrmCas frmCas(stopky::portArgument(args), version.verze, std::move(channel));
    frmCas.show();
    return QApplication::exec();
}
