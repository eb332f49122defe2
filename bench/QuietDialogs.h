#pragma once

#include "ui/UserDialogs.h"

#include <cstdio>

// Answers every box of the window without showing it: OK to questions, no file, no
// browser. What would have been shown goes to stderr and is counted, so a benchmark can
// tell a start-up that met a missing file from a normal one.
class QuietDialogs : public UserDialogs {
public:
    void showMessage(const QString& text) override { report("message", text); }
    void showError(const QString& text) override { report("error", text); }
    int confirm(const QString& text, const QString&) override {
        report("confirm", text);
        return kConfirmOk;
    }
    int warn(const QString& text) override {
        report("warning", text);
        return kConfirmOk;
    }
    std::optional<QString> chooseFileToOpen(const QString&) override { return std::nullopt; }
    bool openUrl(const QString&) override { return false; }

    int shown = 0;

private:
    void report(const char* kind, const QString& text) {
        ++shown;
        std::fprintf(stderr, "%s: %s\n", kind, text.toUtf8().constData());
    }
};
