// What a full save costs the disk: the program must know its own writes whenever the
// file system sets a file's time, and must not flush more than each new content once
// and each folder once.
#include "IniHostFixture.h"
#include "inidigest/IniDigest.h"
#include "platform/FileCallProbe.h"
#include "settings/Catalogue.h"

#include <gtest/gtest.h>

namespace {

// Every catalogue key written with a value it does not have yet, as the window's save does.
void saveEveryKey(bool flip) {
    ResetIniErrors();
    for (const IniWriteScope lastingAtEnd; const CatalogueRow& row : settingsCatalogue()) {
        const std::string section(row.section);
        const std::string key(row.key);
        switch (row.kind) {
        case ValueKind::Boolean:
            WriteIniBool(row.target, section, key, flip);
            break;
        case ValueKind::Integer:
            WriteIniInteger(row.target, section, key, flip ? "8" : "16");
            break;
        case ValueKind::FloatText:
        case ValueKind::MovieText:
            WriteIniString(row.target, section, key, flip ? "0.5" : "0.25");
            break;
        }
    }
}

class SaveCost : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        writeBytes(ini.gameFile("UTEngine.ini"), "[SystemSettings]\r\n");
        writeBytes(ini.gameFile("UTGame.ini"), "[Engine.HUD]\r\n");
        writeBytes(ini.gameFile("UTInput.ini"), "[Engine.PlayerInput]\r\n");
        filestore::probe::simulate({.timesSetAtClose = GetParam()});
        saveEveryKey(false); // every key there, so that the saves below change each one
    }
    void TearDown() override { filestore::probe::simulate({}); }

    ScopedIniHost ini;
};

TEST_P(SaveCost, OwnWritesAreKnownAndEachContentAndFolderFlushedOnce) {
    const std::size_t keys = settingsCatalogue().size();
    for (bool flip : {true, false}) {
        const filestore::probe::Counts before = filestore::probe::counts();
        saveEveryKey(flip);
        const filestore::probe::Counts cost = filestore::probe::counts() - before;
        EXPECT_EQ(cost.settleWaits, 0u) << "reads that took the program's own write for another program's";
        EXPECT_EQ(cost.renames, keys);
#ifndef _WIN32
        EXPECT_EQ(cost.flushes, keys + 1) << "each new content, and the one game folder at the end";
#else
        EXPECT_EQ(cost.flushes, keys) << "Windows flushes the rename with the file";
#endif
        EXPECT_EQ(ReadIniString(EngineIni, "SystemSettings", "ShadowTexelsPerPixel"), flip ? "0.5" : "0.25");
    }
    EXPECT_TRUE(ini.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(FileTimes, SaveCost, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "SetAtClose" : "SetAtEachWrite"; });

} // namespace
