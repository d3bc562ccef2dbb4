#include "ui/TfrmQX.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zapisnik"));
    TfrmQX frmQX;
    frmQX.show();
    return QApplication::exec();
}
