#include "TfrmCas.h"

TfrmCas::TfrmCas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TfrmCas"));
    setWindowTitle(QStringLiteral("Dozodoro RO 4"));
    resize(451, 288);
}
