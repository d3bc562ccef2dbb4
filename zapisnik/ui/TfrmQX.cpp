#include "TfrmQX.h"

TfrmQX::TfrmQX(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("TfrmQX"));
    setWindowTitle(QStringLiteral("Zapisovatel"));
}
