#include "ui/QtUserDialogs.h"

#include "ui/FormBuilder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

QFont QtUserDialogs::boxFont() {
    // A bare system may resolve its default face to a monospace one, and Wine names a
    // face ("MS Shell Dlg") that Qt cannot find and replaces with a serif one; the boxes
    // then use the window's own face rather than a stand-in nobody chose.
    const QFont desktop = QApplication::font("QMessageBox");
    const QFontInfo drawn(desktop);
    const bool asked = drawn.family().compare(desktop.family(), Qt::CaseInsensitive) == 0;
    return drawn.fixedPitch() || !asked ? windowFont() : desktop;
}

QString QtUserDialogs::applicationTitle() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName().section(QLatin1Char('.'), 0, 0);
}

void QtUserDialogs::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, m_owner);
    box.setFont(boxFont());
    box.exec();
}

void QtUserDialogs::showError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, m_owner);
    box.setFont(boxFont());
    box.exec();
}

int QtUserDialogs::confirm(const QString& text, const QString& caption) {
    return askOkCancel(QMessageBox::Question, caption, text, QMessageBox::Ok);
}

int QtUserDialogs::warn(const QString& text) {
    // Enter must not walk past the warning: going on is a deliberate choice.
    return askOkCancel(QMessageBox::Warning, applicationTitle(), text, QMessageBox::Cancel);
}

int QtUserDialogs::askOkCancel(QMessageBox::Icon icon, const QString& caption, const QString& text,
                               QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok | QMessageBox::Cancel, m_owner);
    box.setFont(boxFont());
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setDefaultButton(defaultButton);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok ? kConfirmOk : kConfirmCancel;
}

std::optional<QString> QtUserDialogs::chooseFileToOpen(const QString& defaultSuffix) {
    QFileDialog dialog(m_owner);
    dialog.setFont(boxFont());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    // The dialog answers with "/" on every system; the player reads paths with the
    // system's own separator in every message that names the file.
    return QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
}

bool QtUserDialogs::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}
