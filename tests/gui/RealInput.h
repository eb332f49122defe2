#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

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

// Once the modal box that the next call opens waits for an answer: `check` looks at it,
// then `act` answers it.
inline void answerNextBox(std::function<void(QWidget*)> check, std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [check = std::move(check), act = std::move(act)] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr) << "no box came up";
        check(box);
        if (!::testing::Test::HasFatalFailure())
            act(box);
    });
}

// An answer to a box: `key` pressed on the box itself.
inline std::function<void(QWidget*)> keyOnBox(Qt::Key key) {
    return [key](QWidget* box) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(box, &press);
    };
}
