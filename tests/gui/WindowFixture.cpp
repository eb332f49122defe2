#include "WindowFixture.h"

#include "MemoryValues.h"

#include "inidigest/IniText.h"
#include "sync/ValueCodec.h"

#include "ui/TextCodec.h"

WindowTest::WindowTest()
    : m_host([this](const std::string& text) { dialogs.showMessage(fromMessageText(text)); }, false) {
    writeSampleGameFiles();
}

WindowTest::~WindowTest() {
    m_form.reset();
}

TMainform& WindowTest::open() {
    m_form = std::make_unique<TMainform>(dialogs, gameCheck());
    dialogs.take();
    return *m_form;
}

std::string WindowTest::missingMessage(const std::string& file) const {
    return "message: The ini, expected in \"" + gameFile(file).string() + "\", could not be found or loaded.";
}

std::string WindowTest::asSaved(const TMainform& form, IniTarget target, std::string text) {
    MemoryValues shown;
    for (const CatalogueRow& row : settingsCatalogue()) {
        const QString name = fromTableText(row.control);
        if (const auto* box = form.control<QCheckBox>(name))
            shown.boxes[std::string(row.control)] = box->isChecked();
        else
            shown.texts[std::string(row.control)] = toIniText(form.control<QLineEdit>(name)->text());
    }
    for (const CatalogueRow& row : settingsCatalogue()) {
        if (row.target != target)
            continue;
        if (const auto value = codecOf(row.kind).writtenText(shown, row))
            text = initext::writeValue(text, row.section, row.key, *value);
    }
    return text;
}
