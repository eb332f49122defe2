#include "ui/QtIniHost.h"

#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

std::string documentsFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return toPathText(QDir::toNativeSeparators(folder));
}

std::string creationTimestamp() {
    const QString sep = localeTimeSeparator();
    const QString format = QStringLiteral("dd.MM.yyyy, HH%1mm%1ss").arg(sep);
    return toIniText(QDateTime::currentDateTime().toString(format));
}

} // namespace

QChar localeTimeSeparator() {
    // The first character after the hours in the locale's short time format.
    const QString format = QLocale::system().timeFormat(QLocale::ShortFormat);
    const qsizetype hours = format.indexOf(QRegularExpression(QStringLiteral("[hH]")));
    for (qsizetype i = hours + 1; hours >= 0 && i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != u'h' && c != u'H')
            return c.isLetter() || c.isSpace() ? QChar(u':') : c;
    }
    return u':';
}

IniHost makeDesktopIniHost(UserDialogs& dialogs) {
    IniHost host;
    host.personalFolder = documentsFolder;
    host.executableFolder = [] {
        return toPathText(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
    };
    host.showMessage = [&dialogs](const std::string& text) { dialogs.showMessage(fromMessageText(text)); };
    host.creationTimestamp = creationTimestamp;
    const QString point = QLocale::system().decimalPoint();
    host.decimalSeparator = point.size() == 1 ? point.at(0).toLatin1() : '.';
    return host;
}
