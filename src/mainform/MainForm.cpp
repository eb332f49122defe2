#include "mainform/MainForm.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniError.h"
#include "inidigest/IniLayer.h"
#include "ui/ControlEvents.h"
#include "ui/ControlWiring.h"
#include "ui/DefaultButton.h"
#include "ui/DescriptionPanel.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>

namespace {

const QString kSponsorAddress = QStringLiteral("https://sponsor.knobwerk.example");
constexpr int kClientWidth = 857;
constexpr int kClientHeight = 700;
constexpr int kPatchVersionRightEdge = 854;

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

TMainform::TMainform(UserDialogs& dialogs, GameCheck gameRunning, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs)
    , m_gameRunning(std::move(gameRunning))
    , m_runner(dialogs) {
    setObjectName(QStringLiteral("Mainform"));
    setFixedSize(kClientWidth, kClientHeight);
    setWindowIcon(QIcon(QStringLiteral(":/knobwerk.png")));
    m_controls = buildWindowControls(this);
    m_values = std::make_unique<ControlValues>(m_controls);
    m_defaultButton = new DefaultButton(this, control<QPushButton>(QStringLiteral("BtnSave")));
    m_events = new ControlEvents(this);
    wireEvents();
    m_runner.run([this] { FormCreate(); });
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TMainform::~TMainform() {
    // No handler runs while the window is torn down: the focus leaving a control as it is
    // destroyed is no event of the program. The controls go first, while the rest of the
    // window is still whole.
    m_runner.close();
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
        m_runner.showError(fromMessageText(error.what()));
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

bool TMainform::showWalkError(const WalkResult& walk) const {
    if (walk.error.empty())
        return false;
    m_runner.showError(fromMessageText(walk.error));
    return true;
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
    m_runner.run([this, handler] { (this->*handler)(); });
}

void TMainform::wireEvents() {
    const ControlHandlers handlers{
        .boxClick = [this](QCheckBox* box) { markCheckBox(box); },
        .fieldEnter = [this](QLineEdit* field) { numericFieldEnter(field); },
        .fieldExit = [this](QLineEdit* field) { numericFieldExit(field); },
        .pointerMove = [this](const QString& name) { showDescription(m_controls, name); },
        .labelClick = [this] { Label31Click(); },
        .presetsChange = [this] { cbPresetsChange(); },
        .setByPlayer = [this](const QString& name) { m_stoppedLoad.settle(name.toStdString()); },
    };
    auto* save = control<QPushButton>(QStringLiteral("BtnSave"));
    wireControls({m_controls, *m_values, *m_events, m_runner, save}, handlers);
    for (const ButtonHandler& entry : kButtonHandlers) {
        connect(control<QPushButton>(QLatin1String(entry.button)), &QPushButton::clicked, this,
                m_runner.forEvent([this, method = entry.handler] { (this->*method)(); }));
    }
}
