#include "console/TfrmCas.h"
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

    TfrmCas frmCas(stopky::portArgument(QApplication::arguments()), std::move(channel));
    frmCas.show();
    return QApplication::exec();
}
