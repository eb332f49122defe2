#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class UserDialogs;

// Runs the window's handlers as its events run them: an error that a handler does not
// catch ends it and is shown in the standard error box. Once the window closes, no
// event runs a handler any more.
class HandlerRunner {
public:
    explicit HandlerRunner(UserDialogs& dialogs)
        : m_dialogs(dialogs) {}

    void run(const std::function<void()>& handler) const;
    // `handler` as the event called `name` (bShowHudClick, FormCreate, ...) runs it.
    std::function<void()> forEvent(const QString& name, std::function<void()> handler);
    // The names of every event given a handler so far.
    const QStringList& eventNames() const { return m_eventNames; }
    void showError(const QString& text) const;
    void close() { m_closed = true; }

private:
    UserDialogs& m_dialogs;
    QStringList m_eventNames;
    bool m_closed = false;
};
