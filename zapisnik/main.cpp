#include "data/Tdm_QX.h"
#include "ui/TfrmQX.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zapisnik"));
    // The data module comes first: the window's start-up loads data through it.
    qx::Tdm_QX dm_QX;
    return runZapisnik(dm_QX);
}
