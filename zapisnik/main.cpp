#include "data/Tdm_QX.h"
#include "locale/CzechTranslations.h"
#include "messages/LocalChannel.h"
#include "messages/Messages.h"
#include "ui/TfrmQX.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
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
    qx::Tdm_QX dm_QX;
    // The window listens on a channel of its own, which takes this one's socket over.
    channel->handOver();
    return runZapisnik(dm_QX);
}
