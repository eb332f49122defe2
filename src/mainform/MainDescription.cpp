// The description panel below the scroll box explains the setting under the pointer.
#include "mainform/MainForm.h"

#include "settings/Descriptions.h"
#include "ui/TextCodec.h"

#include <QGroupBox>
#include <QLabel>

void TMainform::describe(const QString& controlName) {
    const Description* entry = findDescription(controlName.toStdString());
    if (!entry)
        return;
    auto* title = control<QGroupBox>(QStringLiteral("gDesc"));
    auto* text = control<QLabel>(QStringLiteral("sDesc"));
    const QString newTitle = fromTableText(entry->title);
    const QString newText = fromTableText(entry->text);
    // The pointer moves many times a second: repaint only what changes.
    if (title->title() != newTitle)
        title->setTitle(newTitle);
    if (text->text() != newText)
        text->setText(newText);
}
