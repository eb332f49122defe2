#pragma once

#include "ui/UserDialogs.h"

#include <QFont>
#include <QMessageBox>

class QWidget;

// The real boxes and dialogs, owned by the main window.
class QtUserDialogs : public UserDialogs {
public:
    void setOwner(QWidget* owner) { m_owner = owner; }

    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    int confirm(const QString& text, const QString& caption) override;
    int warn(const QString& text) override;
    std::optional<QString> chooseFileToOpen(const QString& defaultSuffix) override;
    bool openUrl(const QString& url) override;

    // The executable's file name cut before its first full stop.
    static QString applicationTitle();
    // The face of the boxes' text: the desktop's for message boxes, unless that is a
    // fixed-pitch face or not the face the desktop names; then the window's.
    static QFont boxFont();

private:
    int askOkCancel(QMessageBox::Icon icon, const QString& caption, const QString& text,
                    QMessageBox::StandardButton defaultButton);

    QWidget* m_owner = nullptr;
};
