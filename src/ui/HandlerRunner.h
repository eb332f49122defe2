#pragma once

#include <QString>

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
    // `handler` as an event (bShowHudClick, FormCreate, ...) runs it.
    std::function<void()> forEvent(std::function<void()> handler) const;
    void showError(const QString& text) const;
    void close() { m_closed = true; }

private:
    UserDialogs& m_dialogs;
    bool m_closed = false;
};
