#include "ui/DefaultButton.h"

#include <QApplication>
#include <QPushButton>

DefaultButton::DefaultButton(QWidget* window, QPushButton* button)
    : QObject(window)
    , m_window(window)
    , m_button(button) {
    for (QPushButton* each : window->findChildren<QPushButton*>())
        m_buttons << each;
    // After the focus events: a button's own focus handling has had its say by then.
    connect(qApp, &QApplication::focusChanged, this, &DefaultButton::follow);
    follow();
}

void DefaultButton::follow() {
    // The window's own focus, which it keeps while a box or another program is in front.
    auto* focused = qobject_cast<QPushButton*>(m_window->focusWidget());
    QPushButton* current = focused ? focused : m_button;
    for (QPushButton* each : m_buttons)
        if (each)
            each->setDefault(each == current);
}
