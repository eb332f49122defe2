#include "IniHostFixture.h"

#include "SampleGameFiles.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniLayer.h"

ScopedIniHost::ScopedIniHost(std::function<void(const std::string&)> showMessage, bool start) {
    std::filesystem::create_directories(documents());
    std::filesystem::create_directories(programFolder());
    IniHost host;
    documentsAnswer = documents();
    host.personalFolder = [this] { return documentsAnswer.string(); };
    host.executableFolder = [this] { return programFolder().string(); };
    if (showMessage)
        host.showMessage = std::move(showMessage);
    else
        host.showMessage = [this](const std::string& text) { messages.push_back(text); };
    host.creationTimestamp = [this] { return timestamp; };
    ResetIniLayer(std::move(host));
    if (start)
        InitIniDigest();
}

ScopedIniHost::~ScopedIniHost() {
    ResetIniLayer({});
}

std::filesystem::path ScopedIniHost::configFolder() const {
    return documents() / "My Games" / "Unreal Tournament 3" / "UTGame" / "Config";
}

void ScopedIniHost::writeSampleGameFiles() const {
    writeBytes(gameFile("UTEngine.ini"), kSampleEngineIni);
    writeBytes(gameFile("UTGame.ini"), kSampleGameIni);
    writeBytes(gameFile("UTInput.ini"), kSampleInputIni);
}
