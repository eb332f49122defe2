#pragma once

#include "ui/UserDialogs.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <string>

// Answers the window's boxes from a script and records, in order, what was shown:
// "message: <text>", "error: <text>", "confirm: <text>", "warning: <text>", "open file",
// "url: <address>".
class FakeDialogs : public UserDialogs {
public:
    void showMessage(const QString& text) override {
        shown << QStringLiteral("message: ") + text;
        if (whileMessageShown)
            whileMessageShown();
    }
    void showError(const QString& text) override { shown << QStringLiteral("error: ") + text; }

    int confirm(const QString& text, const QString& caption) override {
        shown << QStringLiteral("confirm: ") + text;
        captions << caption;
        return nextAnswer();
    }

    int warn(const QString& text) override {
        shown << QStringLiteral("warning: ") + text;
        return nextAnswer();
    }

    int nextAnswer() {
        if (answers.empty())
            return kConfirmOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<QString> chooseFileToOpen(const QString& defaultSuffix) override {
        shown << QStringLiteral("open file");
        lastDefaultSuffix = defaultSuffix;
        return fileToOpen;
    }

    bool openUrl(const QString& url) override {
        shown << QStringLiteral("url: ") + url;
        return urlOpens;
    }

    QStringList take() { return std::exchange(shown, {}); }

    QStringList shown;
    QStringList captions;
    std::deque<int> answers; // confirm and warning answers in order; OK when empty
    std::optional<QString> fileToOpen;
    QString lastDefaultSuffix;
    bool urlOpens = true;
    std::function<void()> whileMessageShown; // what the user does while a message is up
};

// The boxes shown, one after another, in a form a failure message can show.
inline std::string shown(const QStringList& boxes) {
    return boxes.join(QStringLiteral("\n----\n")).toStdString();
}
