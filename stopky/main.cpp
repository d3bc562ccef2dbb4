#include "console/TfrmCas.h"
#include "link/serialports.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("stopky"));
    TfrmCas frmCas(stopky::portArgument(QApplication::arguments()));
    frmCas.show();
    return QApplication::exec();
}
