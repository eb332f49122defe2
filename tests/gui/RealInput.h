#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

// Input as a user gives it: the window shown and active, keys delivered to whatever has
// the focus, so that Qt's own focus handling, Tab and default buttons all take part.

// Shows `window` and makes it the active window. False when it did not become active.
inline bool showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// One key pressed and released where the focus is.
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    QCoreApplication::processEvents();
}

// Text typed where the focus is, one key at a time.
inline void typeText(const QString& text) {
    QTest::keyClicks(QApplication::focusWidget(), text);
    QCoreApplication::processEvents();
}

// Moves the focus to `widget` as the Tab key would bring it there.
inline void tabInto(QWidget* widget) {
    widget->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
}
