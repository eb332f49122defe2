#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

// Turns the raw Qt events of the window's controls into the program's control events:
// pointer moves, a label's click, an edit field being entered or left, and Enter
// pressing the default button. Entering and leaving mean the focus moving between this
// window's controls: a message box or another application taking the focus is neither,
// so a field is never validated merely because a box appeared.
class ControlEvents : public QObject {
public:
    using Handler = std::function<void()>;

    explicit ControlEvents(QObject* parent = nullptr)
        : QObject(parent) {}

    void onMouseMove(QWidget* control, Handler handler);
    void onLabelClick(QWidget* label, Handler handler);
    void onEnter(QWidget* field, Handler handler);
    void onExit(QWidget* field, Handler handler);
    // Enter or Return pressed while `control` has the focus runs `handler` instead.
    void onReturnKey(QWidget* control, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Hooks {
        Handler mouseMove, click, enter, exit, returnKey;
    };
    Hooks& hooksFor(QWidget* control);
    bool focusEvent(QObject* watched, const Hooks& hooks, QEvent* event);

    QHash<QObject*, Hooks> m_hooks;
    QPointer<QObject> m_enteredField;
};
