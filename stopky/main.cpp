#include "console/TfrmCas.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("stopky"));
    TfrmCas frmCas;
    frmCas.show();
    return QApplication::exec();
}
