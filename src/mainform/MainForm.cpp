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
    // Enter in a field, a box or the combo box presses it (see wireEvents).
    m_defaultButton = new DefaultButton(this, control<QPushButton>(QStringLiteral("BtnSave")));
    m_events = new ControlEvents(this);
    wireEvents();
    runHandler(QStringLiteral("FormCreate"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TMainform::~TMainform() {
    // No handler runs while the window is torn down: the focus leaving a control as it is
    // destroyed is no event of the program. The controls go first, while the handler
    // table and the rest of the window are still whole.
    m_handlers.clear();
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

void TMainform::wire(const QString& handlerName, std::function<void()> body) {
    m_handlers.insert(handlerName, std::move(body));
}

void TMainform::runHandler(const QString& name) {
    const auto handler = m_handlers.constFind(name);
    if (handler != m_handlers.constEnd())
        guarded(*handler);
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

void TMainform::setBoxChecked(QCheckBox* box, bool checked) {
    ++m_settingFromCode;
    box->setChecked(checked);
    --m_settingFromCode;
    if (m_errorFromCode)
        std::rethrow_exception(std::exchange(m_errorFromCode, nullptr));
}

void TMainform::wireEvents() {
    wire(QStringLiteral("FormCreate"), [this] { FormCreate(); });
    for (const ButtonHandler& entry : kButtonHandlers) {
        const QString name = QLatin1String(entry.button) + QStringLiteral("Click");
        wire(name, [this, handler = entry.handler] { (this->*handler)(); });
        connect(control<QPushButton>(QLatin1String(entry.button)), &QPushButton::clicked, this,
                [this, name] { runHandler(name); });
    }
    auto pressSave = [this] { control<QPushButton>(QStringLiteral("BtnSave"))->click(); };

    for (const ControlRow& row : windowLayout()) {
        const QString name = fromTableText(row.name);
        QWidget* widget = m_controls.value(name);
        if (auto* box = qobject_cast<QCheckBox*>(widget)) {
            m_events->onReturnKey(box, pressSave);
            if (row.events & OnClick) {
                const QString handler = name + QStringLiteral("Click");
                wire(handler, [this, box] { markCheckBox(box); });
                connect(box, &QCheckBox::toggled, this, [this, handler] {
                    if (m_settingFromCode == 0)
                        return runHandler(handler);
                    try {
                        m_handlers.value(handler)();
                    } catch (...) {
                        m_errorFromCode = std::current_exception();
                    }
                });
            }
        }
        if (row.kind == ControlKind::Label && (row.events & OnClick)) {
            wire(name + QStringLiteral("Click"), [this] { Label31Click(); });
            m_events->onLabelClick(widget, [this, name] { runHandler(name + QStringLiteral("Click")); });
        }
        if (row.events & OnMouseMove) {
            const QString handler = name + QStringLiteral("MouseMove");
            wire(handler, [this, name] { describe(name); });
            m_events->onMouseMove(widget, [this, handler] { runHandler(handler); });
        }
        if (auto* field = qobject_cast<QLineEdit*>(widget)) {
            wire(name + QStringLiteral("Enter"), [this, field] { numericFieldEnter(field); });
            wire(name + QStringLiteral("Exit"), [this, field] { numericFieldExit(field); });
            m_events->onEnter(field, [this, name] { runHandler(name + QStringLiteral("Enter")); });
            m_events->onExit(field, [this, name] { runHandler(name + QStringLiteral("Exit")); });
            m_events->onReturnKey(field, pressSave);
        }
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            const QString handler = name + QStringLiteral("Change");
            wire(handler, [this] { cbPresetsChange(); });
            // Only the user's own changes: a pick from the list, or typing.
            connect(combo, &QComboBox::activated, this, [this, handler] { runHandler(handler); });
            connect(combo->lineEdit(), &QLineEdit::textEdited, this,
                    [this, handler] { runHandler(handler); });
            m_events->onReturnKey(combo, pressSave);
            m_events->onReturnKey(combo->lineEdit(), pressSave);
        }
    }
}

QCheckBox* TMainform::box(const CatalogueRow& row) const {
    return control<QCheckBox>(fromTableText(row.control));
}

QLineEdit* TMainform::field(const CatalogueRow& row) const {
    return control<QLineEdit>(fromTableText(row.control));
}
