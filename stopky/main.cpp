#include "console/TfrmCas.h"
#include "device/DeviceVersions.h"
#include "link/VersionTable.h"
#include "link/serialports.h"

#include <QApplication>

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
    TfrmCas frmCas(stopky::portArgument(args), version.verze);
    frmCas.show();
    return QApplication::exec();
}
