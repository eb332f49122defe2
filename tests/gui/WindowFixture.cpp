#include "WindowFixture.h"

#include "settings/Catalogue.h"

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

std::map<std::string, std::string> windowValues(const TMainform& form) {
    std::map<std::string, std::string> values;
    for (const CatalogueRow& row : settingsCatalogue()) {
        const QString name = fromTableText(row.control);
        if (const auto* box = form.control<QCheckBox>(name))
            values[std::string(row.control)] = box->isChecked() ? "checked" : "unchecked";
        else
            values[std::string(row.control)] = form.control<QLineEdit>(name)->text().toStdString();
    }
    return values;
}
