#include "ui/DescriptionPanel.h"

#include "settings/Descriptions.h"
#include "ui/TextCodec.h"

#include <QGroupBox>
#include <QLabel>

void showDescription(const ControlMap& controls, const QString& control) {
    const Description* entry = findDescription(control.toStdString());
    if (!entry)
        return;
    auto* title = qobject_cast<QGroupBox*>(controls.value(QStringLiteral("gDesc")));
    auto* text = qobject_cast<QLabel*>(controls.value(QStringLiteral("sDesc")));
    const QString newTitle = fromTableText(entry->title);
    const QString newText = fromTableText(entry->text);
    // The pointer moves many times a second: repaint only what changes.
    if (title->title() != newTitle)
        title->setTitle(newTitle);
    if (text->text() != newText)
        text->setText(newText);
}
