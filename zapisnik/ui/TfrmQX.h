#pragma once

#include <QMainWindow>

// The results manager's main window.
class TfrmQX : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmQX(QWidget* parent = nullptr);
};
