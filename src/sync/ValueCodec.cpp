#include "sync/ValueCodec.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniValues.h"

#include <array>

namespace {

std::string sectionOf(const CatalogueRow& row) {
    return std::string(row.section);
}

std::string keyOf(const CatalogueRow& row) {
    return std::string(row.key);
}

class BooleanCodec : public ValueCodec {
public:
    bool imported() const override { return true; }
    ReadValue read(IniTarget file, const CatalogueRow& row) const override {
        return {ReadIniBool(file, sectionOf(row), keyOf(row)), {}};
    }
    void show(SettingValues& values, const CatalogueRow& row, const ReadValue& value) const override {
        values.setChecked(row.control, value.checked);
    }
    std::optional<std::string> writtenText(const SettingValues& values,
                                           const CatalogueRow& row) const override {
        return inivalues::booleanText(values.checked(row.control));
    }
    void write(IniTarget file, const CatalogueRow& row, const SettingValues& values) const override {
        WriteIniBool(file, sectionOf(row), keyOf(row), values.checked(row.control));
    }
};

// An edit field; plain decimal in the file, whatever form the field shows.
class IntegerCodec : public ValueCodec {
public:
    bool imported() const override { return true; }
    ReadValue read(IniTarget file, const CatalogueRow& row) const override {
        return {false, ReadIniInteger(file, sectionOf(row), keyOf(row))};
    }
    void show(SettingValues& values, const CatalogueRow& row, const ReadValue& value) const override {
        values.setText(row.control, value.text);
    }
    std::optional<std::string> writtenText(const SettingValues& values,
                                           const CatalogueRow& row) const override {
        return std::to_string(inivalues::toIntegerStrict(values.text(row.control)));
    }
    void write(IniTarget file, const CatalogueRow& row, const SettingValues& values) const override {
        WriteIniInteger(file, sectionOf(row), keyOf(row), values.text(row.control));
    }
    bool acceptsFieldText(std::string_view text) const override {
        return inivalues::parseInteger(text).has_value();
    }
    std::string_view fieldRefusal() const override { return "Not a valid integer value!"; }
};

// An edit field whose text goes into the file and comes back exactly as it is.
class FloatTextCodec : public ValueCodec {
public:
    bool imported() const override { return true; }
    ReadValue read(IniTarget file, const CatalogueRow& row) const override {
        return {false, ReadIniString(file, sectionOf(row), keyOf(row))};
    }
    void show(SettingValues& values, const CatalogueRow& row, const ReadValue& value) const override {
        values.setText(row.control, value.text);
    }
    std::optional<std::string> writtenText(const SettingValues& values,
                                           const CatalogueRow& row) const override {
        return values.text(row.control);
    }
    void write(IniTarget file, const CatalogueRow& row, const SettingValues& values) const override {
        WriteIniString(file, sectionOf(row), keyOf(row), values.text(row.control));
    }
    bool acceptsFieldText(std::string_view text) const override { return inivalues::isFloatText(text); }
    std::string_view fieldRefusal() const override { return "Not a valid float value!"; }
};

// The hidden movie box: movies play while the game's list is not empty. Only a cleared
// box writes, and only the empty value, so a box that says movies should play never
// destroys the game's list. A tweak-settings file does not carry it.
class MovieCodec : public ValueCodec {
public:
    bool imported() const override { return false; }
    ReadValue read(IniTarget file, const CatalogueRow& row) const override {
        return {!ReadIniStringOrEmpty(file, sectionOf(row), keyOf(row)).empty(), {}};
    }
    void show(SettingValues& values, const CatalogueRow& row, const ReadValue& value) const override {
        values.setChecked(row.control, value.checked);
    }
    std::optional<std::string> writtenText(const SettingValues& values,
                                           const CatalogueRow& row) const override {
        if (values.checked(row.control))
            return std::nullopt;
        return std::string();
    }
    void write(IniTarget file, const CatalogueRow& row, const SettingValues& values) const override {
        if (!values.checked(row.control))
            WriteIniString(file, sectionOf(row), keyOf(row), "");
    }
};

const BooleanCodec kBoolean;
const IntegerCodec kInteger;
const FloatTextCodec kFloatText;
const MovieCodec kMovie;

} // namespace

const ValueCodec& codecOf(ValueKind kind) {
    // In the order of the ValueKind enumerators.
    static const std::array<const ValueCodec*, 4> codecs = {&kBoolean, &kInteger, &kFloatText, &kMovie};
    return *codecs.at(static_cast<std::size_t>(kind));
}
