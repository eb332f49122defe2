#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QPushButton;
class QWidget;

// The default button of a window that is no dialog, kept as Windows keeps it: while a
// push button has the focus, that button is drawn as the default (Enter presses it);
// while the focus is anywhere else, the window's own default button is.
//
// Qt keeps a default button only in dialogs: elsewhere a button that loses the focus
// drops its default look for good. So the look is set afresh after every focus change.
class DefaultButton : public QObject {
public:
    DefaultButton(QWidget* window, QPushButton* button);

private:
    void follow();

    QWidget* m_window;
    QPushButton* m_button;
    QList<QPointer<QPushButton>> m_buttons;
};
