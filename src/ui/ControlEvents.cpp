#include "ui/ControlEvents.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

// Focus that moves because a window (a box, a menu, another program) came or went.
bool isWindowChange(Qt::FocusReason reason) {
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

void run(const ControlEvents::Handler& handler) {
    if (handler)
        handler();
}

} // namespace

ControlEvents::Hooks& ControlEvents::hooksFor(QWidget* control) {
    if (!m_hooks.contains(control)) {
        control->installEventFilter(this);
        connect(control, &QObject::destroyed, this, [this, control] { m_hooks.remove(control); });
    }
    return m_hooks[control];
}

void ControlEvents::onMouseMove(QWidget* control, Handler handler) {
    control->setMouseTracking(true);
    hooksFor(control).mouseMove = std::move(handler);
}

void ControlEvents::onLabelClick(QWidget* label, Handler handler) {
    hooksFor(label).click = std::move(handler);
}

void ControlEvents::onEnter(QWidget* field, Handler handler) {
    hooksFor(field).enter = std::move(handler);
}

void ControlEvents::onExit(QWidget* field, Handler handler) {
    hooksFor(field).exit = std::move(handler);
}

void ControlEvents::onReturnKey(QWidget* control, Handler handler) {
    hooksFor(control).returnKey = std::move(handler);
}

bool ControlEvents::eventFilter(QObject* watched, QEvent* event) {
    const auto found = m_hooks.constFind(watched);
    if (found == m_hooks.constEnd())
        return false;
    const Hooks hooks = *found; // a handler may change the table
    switch (event->type()) {
    case QEvent::MouseMove:
        run(hooks.mouseMove);
        return false;
    case QEvent::MouseButtonRelease:
        if (hooks.click && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            hooks.click();
            return true;
        }
        return false;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (hooks.returnKey && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            hooks.returnKey();
            return true;
        }
        return false;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        return focusEvent(watched, hooks, event);
    default:
        return false;
    }
}

bool ControlEvents::focusEvent(QObject* watched, const Hooks& hooks, QEvent* event) {
    if (!hooks.enter && !hooks.exit)
        return false;
    const auto* focus = static_cast<QFocusEvent*>(event);
    if (event->type() == QEvent::FocusIn) {
        if (m_enteredField == watched)
            return false; // back from a box or another program: still in the field
        m_enteredField = watched;
        run(hooks.enter);
    } else if (!isWindowChange(focus->reason())) {
        if (m_enteredField == watched)
            m_enteredField = nullptr;
        run(hooks.exit);
    }
    return false;
}
