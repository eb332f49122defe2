#include "ui/ControlWiring.h"

#include "ui/ControlEvents.h"
#include "ui/ControlValues.h"
#include "ui/HandlerRunner.h"
#include "ui/LayoutTable.h"
#include "ui/TextCodec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

void wireCheckBox(const ControlWiring& wiring, const ControlHandlers& handlers, QCheckBox* box, bool marked) {
    wiring.events.onReturnKey(box, [button = wiring.defaultButton] { button->click(); });
    if (!marked)
        return;
    const auto mark = [box, boxClick = handlers.boxClick] { boxClick(box); };
    wiring.values.setClickHandler(box, mark);
    const auto click = wiring.runner.forEvent(mark);
    QObject::connect(box, &QCheckBox::toggled, box,
                     [&values = wiring.values, setByPlayer = handlers.setByPlayer, box, click] {
                         if (values.settingBox())
                             return;
                         setByPlayer(box->objectName());
                         click();
                     });
}

void wireField(const ControlWiring& wiring, const ControlHandlers& handlers, QLineEdit* field) {
    wiring.events.onEnter(field,
                          wiring.runner.forEvent([field, enter = handlers.fieldEnter] { enter(field); }));
    wiring.events.onExit(field,
                         wiring.runner.forEvent([field, leave = handlers.fieldExit] { leave(field); }));
    wiring.events.onReturnKey(field, [button = wiring.defaultButton] { button->click(); });
}

void wireCombo(const ControlWiring& wiring, const ControlHandlers& handlers, QComboBox* combo) {
    const auto change = wiring.runner.forEvent(handlers.presetsChange);
    // Only the user's own changes: a pick from the list, or typing.
    QObject::connect(combo, &QComboBox::activated, combo, change);
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo, change);
    const auto pressDefault = [button = wiring.defaultButton] { button->click(); };
    wiring.events.onReturnKey(combo, pressDefault);
    wiring.events.onReturnKey(combo->lineEdit(), pressDefault);
}

} // namespace

void wireControls(const ControlWiring& wiring, const ControlHandlers& handlers) {
    for (const ControlRow& row : windowLayout()) {
        const QString name = fromTableText(row.name);
        QWidget* widget = wiring.controls.value(name);
        if (auto* box = qobject_cast<QCheckBox*>(widget))
            wireCheckBox(wiring, handlers, box, row.events & OnClick);
        if (row.kind == ControlKind::Label && (row.events & OnClick))
            wiring.events.onLabelClick(widget, wiring.runner.forEvent(handlers.labelClick));
        if (row.events & OnMouseMove)
            wiring.events.onMouseMove(widget, wiring.runner.forEvent([pointerMove = handlers.pointerMove,
                                                                      name] { pointerMove(name); }));
        if (auto* field = qobject_cast<QLineEdit*>(widget))
            wireField(wiring, handlers, field);
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            wireCombo(wiring, handlers, combo);
    }
}
