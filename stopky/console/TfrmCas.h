#pragma once

#include <QWidget>

// The timer console's main window.
class TfrmCas : public QWidget {
    Q_OBJECT
public:
    explicit TfrmCas(QWidget* parent = nullptr);
};
