#include "mainform/MainForm.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"
#include "ui/ControlEvents.h"
#include "ui/DefaultButton.h"
#include "ui/LayoutTable.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {

const QString kSponsorAddress = QStringLiteral("https://sponsor.knobwerk.example");
constexpr int kClientWidth = 857;
constexpr int kClientHeight = 700;
constexpr int kPatchVersionRightEdge = 854;

// The click handlers of the window's push buttons.
struct ButtonHandler {
    const char* button;
    void (TMainform::*handler)();
};
constexpr ButtonHandler kButtonHandlers[] = {
    {"BtnSave", &TMainform::BtnSaveClick},       {"BtnExport", &TMainform::BtnExportClick},
    {"BtnLoadIni", &TMainform::BtnLoadIniClick}, {"BtnImport", &TMainform::BtnImportClick},
    {"BtnBackup", &TMainform::BtnBackupClick},   {"BtnRestore", &TMainform::BtnRestoreClick},
    {"Button1", &TMainform::Button1Click},
};

} // namespace

TMainform::TMainform(UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs) {
    setObjectName(QStringLiteral("Mainform"));
    setFixedSize(kClientWidth, kClientHeight);
    setWindowIcon(QIcon(QStringLiteral(":/knobwerk.png")));
    m_controls = buildWindowControls(this);
    m_values = std::make_unique<ControlValues>(m_controls);
    // Enter in a field, a box or the combo box presses it (see wireEvents).
    m_defaultButton = new DefaultButton(this, control<QPushButton>(QStringLiteral("BtnSave")));
    m_events = new ControlEvents(this);
    wireEvents();
    handler(QStringLiteral("FormCreate"), [this] { FormCreate(); })();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TMainform::~TMainform() {
    // No handler runs while the window is torn down: the focus leaving a control as it is
    // destroyed is no event of the program. The controls go first, while the rest of the
    // window is still whole.
    m_closing = true;
    delete m_defaultButton;
    delete m_events;
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

void TMainform::FormCreate() {
    setWindowTitle(QStringLiteral("UT3 Knobwerk v1.0 - powered by ") + kSponsorAddress);
    try {
        InitIniDigest();
    } catch (const IniError& error) {
        // Without its own Knobwerk.ini the program still edits the game files: going on
        // shows the player's real settings instead of defaults that a save would write.
        showStandardError(fromMessageText(error.what()));
    }
    auto* patchversion = control<QLabel>(QStringLiteral("patchversion"));
    patchversion->setText(QStringLiteral("Your UT3 Patch Version: ") + fromIniText(ReadPatchVersion()));
    keepRightEdge(patchversion, kPatchVersionRightEdge);
    // The folder the start-up settled on, not a new search: the one that is edited.
    const QString engineFile = fromPathText(IniTargetPath(EngineIni));
    patchversion->setToolTip(QStringLiteral("Configuration folder: ") +
                             QDir::toNativeSeparators(QFileInfo(engineFile).path()));
    LoadfromIni();
}

int TMainform::ShowMessageDlgEx(const QString& message, const QString& caption, int /*icon*/,
                                int /*ignored*/) {
    return m_dialogs.confirm(message, caption);
}

bool TMainform::confirmed(const QString& question) {
    constexpr int kQuestionIcon = 101;
    return ShowMessageDlgEx(question, QStringLiteral("Information"), kQuestionIcon, 0) == kConfirmOk;
}

void TMainform::Button1Click() {
    const QString help = control<QLabel>(QStringLiteral("Label31"))->text();
    const QStringList lines = {
        QStringLiteral("Version: v1.0"),
        QStringLiteral("Getting Help @ ") + help,
        QStringLiteral(
            "Thx to https://tuning-guides.knobwerk.example for explaining all important Tweaks :P"),
        QString(),
        QStringLiteral("Some random propaganda :D"),
        QStringLiteral("https://maps.knobwerk.example (custom maps and mapping tutorials)"),
        QStringLiteral("https://clan.knobwerk.example (the clan behind this tool)"),
    };
    m_dialogs.showMessage(lines.join(QStringLiteral("\r\n")));
}

void TMainform::Label31Click() {
    // Whether a browser opened is not examined: nothing is reported either way.
    m_dialogs.openUrl(control<QLabel>(QStringLiteral("Label31"))->text());
}

void TMainform::run(void (TMainform::*handler)()) {
    guarded([this, handler] { (this->*handler)(); });
}

std::function<void()> TMainform::handler(const QString& name, std::function<void()> body) {
    m_handlerNames << name;
    return [this, body = std::move(body)] {
        if (!m_closing)
            guarded(body);
    };
}

void TMainform::guarded(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& error) {
        showStandardError(fromMessageText(error.what()));
    }
}

void TMainform::showStandardError(const QString& text) {
    // Like the classic error box: a full stop is added unless the text ends in one
    // (or in a character that sorts before it).
    const bool needsStop = !text.isEmpty() && text.back() > QLatin1Char('.');
    m_dialogs.showError(needsStop ? text + QLatin1Char('.') : text);
}

void TMainform::wireButtons() {
    for (const ButtonHandler& entry : kButtonHandlers) {
        const QString name = QLatin1String(entry.button) + QStringLiteral("Click");
        connect(control<QPushButton>(QLatin1String(entry.button)), &QPushButton::clicked, this,
                handler(name, [this, method = entry.handler] { (this->*method)(); }));
    }
}

void TMainform::wireCheckBox(QCheckBox* box, bool marked) {
    m_events->onReturnKey(box, [this] { control<QPushButton>(QStringLiteral("BtnSave"))->click(); });
    if (!marked)
        return;
    m_values->setClickHandler(box, [this, box] { markCheckBox(box); });
    const auto click =
        handler(box->objectName() + QStringLiteral("Click"), [this, box] { markCheckBox(box); });
    connect(box, &QCheckBox::toggled, this, [this, box, click] {
        if (m_values->settingBox())
            return;
        m_stoppedLoad.settle(box->objectName().toStdString()); // the player's own value now
        click();
    });
}

void TMainform::wireEvents() {
    wireButtons();
    auto pressSave = [this] { control<QPushButton>(QStringLiteral("BtnSave"))->click(); };

    for (const ControlRow& row : windowLayout()) {
        const QString name = fromTableText(row.name);
        QWidget* widget = m_controls.value(name);
        if (auto* box = qobject_cast<QCheckBox*>(widget))
            wireCheckBox(box, row.events & OnClick);
        if (row.kind == ControlKind::Label && (row.events & OnClick))
            m_events->onLabelClick(widget,
                                   handler(name + QStringLiteral("Click"), [this] { Label31Click(); }));
        if (row.events & OnMouseMove)
            m_events->onMouseMove(
                widget, handler(name + QStringLiteral("MouseMove"), [this, name] { describe(name); }));
        if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            m_events->onEnter(
                field, handler(name + QStringLiteral("Enter"), [this, field] { numericFieldEnter(field); }));
            m_events->onExit(
                field, handler(name + QStringLiteral("Exit"), [this, field] { numericFieldExit(field); }));
            m_events->onReturnKey(field, pressSave);
            connect(field, &QLineEdit::textEdited, this, [this, field] {
                m_stoppedLoad.settle(field->objectName().toStdString()); // typed by the player
            });
        }
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            const auto change = handler(name + QStringLiteral("Change"), [this] { cbPresetsChange(); });
            // Only the user's own changes: a pick from the list, or typing.
            connect(combo, &QComboBox::activated, this, change);
            connect(combo->lineEdit(), &QLineEdit::textEdited, this, change);
            m_events->onReturnKey(combo, pressSave);
            m_events->onReturnKey(combo->lineEdit(), pressSave);
        }
    }
}
