#pragma once

#include "inidigest/IniTarget.h"
#include "settings/Catalogue.h"
#include "sync/SettingValues.h"

#include <optional>
#include <string>
#include <string_view>

struct ReadValue {
    bool checked = false;
    std::string text;
};

// How one kind of value is read from a file, shown in its control and written back.
// Every walk over the catalogue goes through these; nothing else knows the kinds apart.
class ValueCodec {
public:
    virtual ~ValueCodec() = default;

    // Whether an import reads this row from a tweak-settings file.
    virtual bool imported() const = 0;
    virtual ReadValue read(IniTarget file, const CatalogueRow& row) const = 0;
    virtual void show(SettingValues& values, const CatalogueRow& row, const ReadValue& value) const = 0;
    // The text a write of the control puts into a file, or nullopt when it writes nothing.
    // A field that cannot be written throws the conversion error the write would throw.
    virtual std::optional<std::string> writtenText(const SettingValues& values,
                                                   const CatalogueRow& row) const = 0;
    // Writes the control's value to the row's key in `file` (skipped for a missing file).
    virtual void write(IniTarget file, const CatalogueRow& row, const SettingValues& values) const = 0;

    // Whether an edit field of this kind keeps `text` when the player leaves it, and
    // the message that refuses it otherwise. Check boxes have no text to check.
    virtual bool acceptsFieldText(std::string_view) const { return true; }
    virtual std::string_view fieldRefusal() const { return {}; }
};

const ValueCodec& codecOf(ValueKind kind);
