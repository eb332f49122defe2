#include "ui/HandlerRunner.h"

#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <exception>

void HandlerRunner::run(const std::function<void()>& handler) const {
    try {
        handler();
    } catch (const std::exception& error) {
        showError(fromMessageText(error.what()));
    }
}

std::function<void()> HandlerRunner::forEvent(std::function<void()> handler) const {
    return [this, handler = std::move(handler)] {
        if (!m_closed)
            run(handler);
    };
}

void HandlerRunner::showError(const QString& text) const {
    // Like the classic error box: a full stop is added unless the text ends in one
    // (or in a character that sorts before it).
    const bool needsStop = !text.isEmpty() && text.back() > QLatin1Char('.');
    m_dialogs.showError(needsStop ? text + QLatin1Char('.') : text);
}
