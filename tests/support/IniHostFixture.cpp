#include "IniHostFixture.h"

#include "inidigest/IniDigest.h"

ScopedIniHost::ScopedIniHost() {
    std::filesystem::create_directories(documents());
    std::filesystem::create_directories(programFolder());
    IniHost host;
    host.personalFolder = [this] { return documents().string(); };
    host.executableFolder = [this] { return programFolder().string(); };
    host.showMessage = [this](const std::string& text) { messages.push_back(text); };
    host.creationTimestamp = [this] { return timestamp; };
    SetIniHost(std::move(host));
    ResetIniErrors();
    SetCustomIniPath("");
    InitIniDigest();
}

ScopedIniHost::~ScopedIniHost() {
    SetIniHost({});
}

std::filesystem::path ScopedIniHost::configFolder() const {
    return documents() / "My Games" / "Unreal Tournament 3" / "UTGame" / "Config";
}
