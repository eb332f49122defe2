// What a full save costs the disk: the program must know its own writes whenever the
// file system sets a file's time, and must write and flush each file once and each
// folder once.
#include "IniHostFixture.h"
#include "inidigest/IniDigest.h"
#include "platform/FileCallProbe.h"
#include "settings/Catalogue.h"
#include "sync/SettingsSync.h"
#include "sync/StoppedLoad.h"

#include "MemoryValues.h"
#include "SimulatedDisk.h"

#include <gtest/gtest.h>

namespace {

// The window's save with every box and text flipped between two values (an integer text,
// which the float fields take as it is): every writable key changes with every save.
void saveEveryKey(bool flip) {
    MemoryValues values;
    for (const CatalogueRow& row : settingsCatalogue()) {
        values.boxes[std::string(row.control)] = flip;
        values.texts[std::string(row.control)] = flip ? "8" : "16";
    }
    settingsync::saveToGameFiles(values, StoppedLoad());
}

class SaveCost : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        writeBytes(ini.gameFile("UTEngine.ini"), "[SystemSettings]\r\n");
        writeBytes(ini.gameFile("UTGame.ini"), "[Engine.HUD]\r\n");
        writeBytes(ini.gameFile("UTInput.ini"), "[Engine.PlayerInput]\r\n");
        saveEveryKey(false); // every key there, so that the saves below change each one
    }

    ScopedIniHost ini;
    SimulatedDisk disk{{.timesSetAtClose = GetParam()}};
};

TEST_P(SaveCost, OwnWritesAreKnownAndEachFileAndFolderFlushedOnce) {
    const std::uint64_t files = 3;
    for (bool flip : {true, false}) {
        const filestore::probe::Counts before = filestore::probe::counts();
        saveEveryKey(flip);
        const filestore::probe::Counts cost = filestore::probe::counts() - before;
        EXPECT_EQ(cost.settleWaits, 0u) << "reads that took the program's own write for another program's";
        EXPECT_EQ(cost.writes, files) << "each game file written once, whatever number of its keys changed";
        EXPECT_EQ(cost.renames, files);
        EXPECT_EQ(cost.flushes, files + 1) << "each new content, and the one game folder at the end";
        EXPECT_EQ(ReadIniString(EngineIni, "SystemSettings", "ShadowTexelsPerPixel"), flip ? "8" : "16");
    }
    EXPECT_TRUE(ini.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(FileTimes, SaveCost, testing::Values(false, true),
                         [](const auto& info) { return info.param ? "SetAtClose" : "SetAtEachWrite"; });

} // namespace
