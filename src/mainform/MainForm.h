#pragma once

#include "sync/StoppedLoad.h"
#include "sync/WalkResult.h"
#include "ui/ControlValues.h"
#include "ui/FormBuilder.h"
#include "ui/HandlerRunner.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class ControlEvents;
class DefaultButton;
class QCheckBox;
class QLineEdit;
class UserDialogs;

// Whether the game runs right now (gameprocess::isGameRunning in the program).
using GameCheck = std::function<bool()>;

// The one window of the program. Its controls are the only store of the values being
// edited: loading, presets and import write into them; saving and export read them.
//
// Every control event runs a handler named after the control and the event
// (bShowHudClick, MaxAnisotropyEnter, Label13MouseMove, BtnSaveClick, ...). An error
// that a handler does not catch ends it and is shown in the standard error box.
class TMainform : public QWidget {
public:
    // Builds the window from its layout and runs FormCreate. `dialogs` answers every
    // message box, question, file dialog and web link; `gameRunning` is asked before a
    // change of the game files.
    TMainform(UserDialogs& dialogs, GameCheck gameRunning, QWidget* parent = nullptr);
    ~TMainform() override;

    void FormCreate();
    int ShowMessageDlgEx(const QString& message, const QString& caption, int icon, int ignored);
    void Button1Click();
    void Label31Click();

    // Moving settings between the window and the game files.
    // True when it ran to its end; what stopped it is shown in the standard error box.
    bool LoadfromIni();
    void BtnLoadIniClick();
    void BtnSaveClick();
    void BtnBackupClick();
    void BtnRestoreClick();
    void xMoveFile(const QString& source, const QString& target);

    void BtnExportClick();
    void BtnImportClick();

    void cbPresetsChange();
    void PreSet0() { showWalkError(applyPreset(0)); }
    void PreSet1() { showWalkError(applyPreset(1)); }
    void PreSet2() { showWalkError(applyPreset(2)); }
    void PreSet3() { showWalkError(applyPreset(3)); }

    // Change marking: re-evaluates all marked check boxes against the game files.
    void CycleAllChanges();

    // Runs one of the handlers above as its event runs it.
    void run(void (TMainform::*handler)());

    template <class Control> Control* control(const QString& name) const {
        return qobject_cast<Control*>(m_controls.value(name));
    }

private:
    void wireEvents();
    // Asks `question` before an overwriting operation; true when the user pressed OK.
    bool confirmed(const QString& question);
    // Warns when the game is running (see GameProcess.h); true when it is not or the user
    // goes on anyway.
    bool proceedDespiteRunningGame();
    // Shows what stopped a walk in the standard error box, as for an error no handler
    // catches; false when nothing did.
    bool showWalkError(const WalkResult& walk) const;

    void markCheckBox(QCheckBox* box);
    void numericFieldEnter(QLineEdit* field);
    void numericFieldExit(QLineEdit* field);
    WalkResult applyPreset(int index);
    WalkResult markAllChanges();

    UserDialogs& m_dialogs;
    GameCheck m_gameRunning;
    HandlerRunner m_runner;
    ControlMap m_controls;
    std::unique_ptr<ControlValues> m_values;
    ControlEvents* m_events = nullptr;
    DefaultButton* m_defaultButton = nullptr;
    QString m_enteredText;
    StoppedLoad m_stoppedLoad;
};
