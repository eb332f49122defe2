#include "ui/CarriedFace.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>

namespace {

bool resolvesToAFamilyAskedFor(const QFont& wanted) {
    return wanted.families().contains(QFontInfo(wanted).family(), Qt::CaseInsensitive);
}

} // namespace

void carryFaceWhereMissing(const QFont& wanted) {
    if (resolvesToAFamilyAskedFor(wanted))
        return;
    for (const QString& file : QDir(QStringLiteral(":/fonts")).entryList(QDir::Files))
        QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/") + file);
}
