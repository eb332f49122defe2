#pragma once

#include <QString>

#include <optional>

// Everything modal or outside the window goes through here, so that tests can answer
// it from a script and record what was shown.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A plain message box: the text, an OK button, the application title as caption.
    virtual void showMessage(const QString& text) = 0;

    // The standard error box: the text, a stop icon, the application title as caption.
    virtual void showError(const QString& text) = 0;

    // OK / Cancel question with a question-mark icon, kept on top. Returns 1 for OK; 2 for
    // Cancel, Escape and the close box.
    virtual int confirm(const QString& text, const QString& caption) = 0;

    // OK / Cancel warning with a warning icon, the application title as caption and
    // Cancel as the default button. Returns like confirm().
    virtual int warn(const QString& text) = 0;

    // The file-open dialog: existing files only. nullopt when cancelled.
    virtual std::optional<QString> chooseFileToOpen(const QString& defaultSuffix) = 0;

    // Hands a web address to the user's browser; false when nothing could open it.
    virtual bool openUrl(const QString& url) = 0;
};

// The result of confirm() that lets an operation go on.
constexpr int kConfirmOk = 1;
constexpr int kConfirmCancel = 2;
