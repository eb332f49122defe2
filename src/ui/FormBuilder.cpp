#include "ui/FormBuilder.h"

#include "settings/Presets.h"
#include "ui/CarriedFace.h"
#include "ui/LayoutTable.h"
#include "ui/TextCodec.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace {

constexpr int kGlyphSize = 18;

// Check boxes of the classic Windows size, with the caption close to the box: the
// longest captions then still fit their 249 pixels when drawn bold as marked.
class CheckBoxStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight)
            return 13;
        if (metric == PM_CheckBoxLabelSpacing)
            return 2;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QStyle* checkBoxStyle() {
    static QPointer<QStyle> style;
    if (!style) {
        style = new CheckBoxStyle;
        style->setParent(qApp); // lives as long as the application
    }
    return style;
}

QIcon glyphFor(std::string_view button) {
    if (button == "BtnSave")
        return QApplication::style()->standardIcon(QStyle::SP_DialogSaveButton);
    if (button == "BtnExport")
        return QIcon(QStringLiteral(":/glyph-ignore.png"));
    return QIcon(QStringLiteral(":/glyph-all.png"));
}

QWidget* makePushButton(const ControlRow& row, QWidget* parent) {
    auto* button = new QPushButton(fromTableText(row.caption), parent);
    // Enter presses the button that has the focus, as on any desktop.
    button->setAutoDefault(true);
    if (row.kind == ControlKind::BitmapButton) {
        button->setIcon(glyphFor(row.name));
        button->setIconSize(QSize(kGlyphSize, kGlyphSize));
    }
    return button;
}

QWidget* makeComboBox(const ControlRow& row, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // An editable drop-down as on Windows: typed text stays as typed, nothing completes
    // it, and leaving the field picks no item, even when the text names one (Qt would
    // select it then and report it as activated, like a pick from the list).
    combo->setCompleter(nullptr);
    QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
    for (std::string_view item : presetListItems())
        combo->addItem(fromTableText(item));
    combo->setCurrentIndex(-1);
    combo->setEditText(fromTableText(row.caption));
    return combo;
}

QWidget* makeScrollBox(QWidget* parent) {
    auto* scroll = new QScrollArea(parent);
    scroll->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(false);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("ScrollBox1Content"));
    scroll->setWidget(content);
    return scroll;
}

QWidget* makeControl(const ControlRow& row, QWidget* parent) {
    switch (row.kind) {
    case ControlKind::Panel: {
        auto* panel = new QFrame(parent);
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        return panel;
    }
    case ControlKind::ScrollBox:
        return makeScrollBox(parent);
    case ControlKind::GroupBox:
        return new QGroupBox(fromTableText(row.caption), parent);
    case ControlKind::Label:
        return new QLabel(fromTableText(row.caption), parent);
    case ControlKind::StaticText: {
        auto* text = new QLabel(fromTableText(row.caption), parent);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return text;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(fromTableText(row.caption), parent);
        box->setStyle(checkBoxStyle());
        box->setChecked(row.checked);
        return box;
    }
    case ControlKind::Edit:
        return new QLineEdit(fromTableText(row.caption), parent);
    case ControlKind::Button:
    case ControlKind::BitmapButton:
        return makePushButton(row, parent);
    case ControlKind::ComboBox:
        return makeComboBox(row, parent);
    }
    return nullptr;
}

void applyLook(const ControlRow& row, QWidget* control) {
    if (row.look & BoldCaption) {
        QFont font = control->font();
        font.setBold(true);
        control->setFont(font);
    }
    if (row.look & Link) {
        QFont font = control->font();
        font.setUnderline(true);
        control->setFont(font);
        QPalette palette = control->palette();
        palette.setColor(QPalette::WindowText, Qt::blue);
        control->setPalette(palette);
        control->setCursor(Qt::PointingHandCursor);
    }
    if (row.look & Hidden)
        control->hide();
}

void applyGeometry(const ControlRow& row, QWidget* control) {
    control->setGeometry(row.left, row.top, row.width, row.height);
    if (row.look & AutoWidth)
        control->resize(control->sizeHint().width(), row.height);
    if (row.look & RightAligned) {
        static_cast<QLabel*>(control)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        keepRightEdge(control, row.left + row.width);
    }
}

// The area children are placed in: a scroll box holds them in its scrolled content.
QWidget* childArea(QWidget* control) {
    if (auto* scroll = qobject_cast<QScrollArea*>(control))
        return scroll->widget();
    return control;
}

// Size of the scrolled content: up to the right and bottom edges of what is shown.
void fitScrollContent(QScrollArea* scroll) {
    QRect extent;
    for (QWidget* child : scroll->widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isHidden())
            extent = extent.united(child->geometry());
    scroll->widget()->resize(extent.right() + 1, extent.bottom() + 1);
}

bool takesFocus(ControlKind kind) {
    return kind == ControlKind::CheckBox || kind == ControlKind::Edit || kind == ControlKind::Button ||
           kind == ControlKind::BitmapButton || kind == ControlKind::ComboBox;
}

// Focusable controls below `parent`, children ordered by their tab position, depth first.
void collectFocusOrder(std::string_view parent, const ControlMap& controls, std::vector<QWidget*>& order) {
    std::vector<const ControlRow*> children;
    for (const ControlRow& row : windowLayout())
        if (row.parent == parent && row.tab >= 0)
            children.push_back(&row);
    std::stable_sort(children.begin(), children.end(),
                     [](const ControlRow* a, const ControlRow* b) { return a->tab < b->tab; });
    for (const ControlRow* child : children) {
        if (takesFocus(child->kind))
            order.push_back(controls.value(fromTableText(child->name)));
        else
            collectFocusOrder(child->name, controls, order);
    }
}

} // namespace

QFont windowFont() {
    // Liberation Sans has the widths of the classic Windows sans fonts; 11 pixels high
    // it gives 13-pixel lines like the layout was drawn with. Families are matched in
    // order, without listing every font on the system first.
    QFont font;
    font.setFamilies(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    carryFaceWhereMissing(font);
    return font;
}

void keepRightEdge(QWidget* label, int rightEdge) {
    const int width = label->sizeHint().width();
    label->setGeometry(rightEdge - width, label->y(), width, label->height());
}

ControlMap buildWindowControls(QWidget* window) {
    window->setFont(windowFont());
    ControlMap controls;
    for (const ControlRow& row : windowLayout()) {
        QWidget* parent = row.parent.empty() ? window : childArea(controls.value(fromTableText(row.parent)));
        QWidget* control = makeControl(row, parent);
        control->setObjectName(fromTableText(row.name));
        applyLook(row, control);
        applyGeometry(row, control);
        controls.insert(fromTableText(row.name), control);
    }
    for (const ControlRow& row : windowLayout()) {
        if (!row.buddy.empty())
            static_cast<QLabel*>(controls.value(fromTableText(row.name)))
                ->setBuddy(controls.value(fromTableText(row.buddy)));
        if (row.kind == ControlKind::ScrollBox)
            fitScrollContent(static_cast<QScrollArea*>(controls.value(fromTableText(row.name))));
    }
    std::vector<QWidget*> order;
    collectFocusOrder("", controls, order);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    // The first control of the cycle has the focus when the window opens: it is entered
    // then, as the focus arrives with the window's activation.
    if (!order.empty())
        order.front()->setFocus(Qt::OtherFocusReason);
    return controls;
}
