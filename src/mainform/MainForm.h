#pragma once

#include "settings/Catalogue.h"
#include "ui/FormBuilder.h"

#include <QHash>
#include <QString>
#include <QWidget>

#include <exception>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

class ControlEvents;
class DefaultButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class UserDialogs;

// The one window of the program. Its controls are the only store of the values being
// edited: loading, presets and import write into them; saving and export read them.
//
// Every control event runs a handler named after the control and the event
// (bShowHudClick, MaxAnisotropyEnter, Label13MouseMove, BtnSaveClick, ...). An error
// that a handler does not catch ends it and is shown in the standard error box.
class TMainform : public QWidget {
public:
    // Builds the window from its layout and runs FormCreate. `dialogs` answers every
    // message box, question, file dialog and web link.
    explicit TMainform(UserDialogs& dialogs, QWidget* parent = nullptr);
    ~TMainform() override;

    // Start-up and lifecycle.
    void FormCreate();
    int ShowMessageDlgEx(const QString& message, const QString& caption, int icon, int ignored);
    void Button1Click();
    void Label31Click();

    // Moving settings between the window and the game files.
    void LoadfromIni();
    void BtnLoadIniClick();
    void BtnSaveClick();
    void BtnBackupClick();
    void BtnRestoreClick();
    void xMoveFile(const QString& source, const QString& target);

    // The tweak-settings file.
    void BtnExportClick();
    void BtnImportClick();

    // Presets.
    void cbPresetsChange();
    void PreSet0();
    void PreSet1();
    void PreSet2();
    void PreSet3();

    // Change marking: re-evaluates all marked check boxes against the game files.
    void CycleAllChanges();

    // Controls by name, and the handlers wired to their events.
    template <class Control> Control* control(const QString& name) const {
        return qobject_cast<Control*>(m_controls.value(name));
    }
    QStringList handlerNames() const { return m_handlers.keys(); }
    // Runs a handler as its event would, showing an uncaught error in the error box.
    void runHandler(const QString& name);

    // The shared entry text of the numeric fields.
    const QString& enteredText() const { return m_enteredText; }

private:
    void wireEvents();
    void wire(const QString& handlerName, std::function<void()> body);
    void guarded(const std::function<void()>& body);
    // Asks `question` in the confirmation box, as every overwriting operation does;
    // true when the user pressed OK.
    bool confirmed(const QString& question);
    // Warns when the game is running, since it would undo a change of its files when it
    // quits; true when the game is not running or the user goes on anyway.
    bool proceedDespiteRunningGame();
    void showStandardError(const QString& text);

    // Handlers shared by families of controls.
    void markCheckBox(QCheckBox* box);
    void numericFieldEnter(QLineEdit* field);
    void numericFieldExit(QLineEdit* field);
    void describe(const QString& control);
    void applyPreset(int index);

    // Catalogue rows and their controls.
    QCheckBox* box(const CatalogueRow& row) const;
    QLineEdit* field(const CatalogueRow& row) const;
    // Sets a check box from code; its click handler runs when the state changes, and an
    // error raised there ends the caller's operation like any other.
    void setBoxChecked(QCheckBox* box, bool checked);
    void loadRow(const CatalogueRow& row);
    void writeRow(IniTarget target, const CatalogueRow& row);
    // Throws the integer conversion error of the first integer field that holds no
    // integer, among the rows whose target file (as `targetOf` names it) exists.
    void requireIntegerFields(const std::function<IniTarget(const CatalogueRow&)>& targetOf);
    // Throws, before anything is written, when the writes of all rows would grow a file
    // past the size limit. The text a row writes, or nullopt when it writes nothing.
    void requireRoomInFiles(const std::function<IniTarget(const CatalogueRow&)>& targetOf);
    std::optional<std::string> writtenText(const CatalogueRow& row) const;
    // Controls still holding a value from before a load that stopped at an error: a
    // load, a preset or an import settles them again. Save and export refuse, with the
    // load's error, while any is unsettled.
    void settled(std::string_view control);
    void requireLoadedValues() const;

    UserDialogs& m_dialogs;
    ControlMap m_controls;
    ControlEvents* m_events = nullptr;
    DefaultButton* m_defaultButton = nullptr;
    QHash<QString, std::function<void()>> m_handlers;
    QString m_enteredText;
    int m_settingFromCode = 0;
    std::exception_ptr m_errorFromCode;
    std::set<std::string_view> m_unloaded;
    std::exception_ptr m_loadError;
};
