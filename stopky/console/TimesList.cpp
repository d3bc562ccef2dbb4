#include "TimesList.h"

#include "display/TimeText.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>

TimesList::TimesList(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("CBCas"));
    setEditable(false);
    setFocusPolicy(Qt::ClickFocus); // not a tab stop
    addItem(QString());
    connect(this, &QComboBox::activated, this, [this](int) { CBCasChange(); });
}

void TimesList::setDeleteButton(QAbstractButton* button) {
    m_btnDel = button;
    if (m_btnDel) m_btnDel->setEnabled(!currentText().isEmpty() && currentIndex() >= 0);
}

void TimesList::appendEntry(const QString& text) {
    addItem(text);
}

void TimesList::CBCasChange() {
    const QString text = currentIndex() >= 0 ? currentText() : QString();
    if (text.isEmpty()) {
        if (m_btnDel) m_btnDel->setEnabled(false);
        QGuiApplication::clipboard()->setText(QString());
    } else {
        if (m_btnDel) m_btnDel->setEnabled(true);
        QGuiApplication::clipboard()->setText(stopky::split(QStringLiteral(" "), QStringLiteral("\t"), text));
    }
}

void TimesList::btnDelClick() {
    const int index = currentIndex();
    if (index >= 0) {
        removeItem(index);
        setCurrentIndex(-1);
    }
    CBCasChange();
    QGuiApplication::clipboard()->setText(QString());
}

void TimesList::keyPressEvent(QKeyEvent* event) {
    if (onKeyDown) onKeyDown(event->key(), event->modifiers());
    if (event->key() == Qt::Key_Space) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}
