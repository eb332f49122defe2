#include "WindowFixture.h"

#include "inidigest/IniDigest.h"
#include "platform/GameProcess.h"
#include "ui/TextCodec.h"

WindowTest::WindowTest() {
    std::filesystem::create_directories(documents());
    std::filesystem::create_directories(programFolder());
    IniHost host;
    host.personalFolder = [this] { return documents().string(); };
    host.executableFolder = [this] { return programFolder().string(); };
    host.showMessage = [this](const std::string& text) { dialogs.showMessage(fromMessageText(text)); };
    host.creationTimestamp = [] { return std::string("07.12.2026, 10:31:05"); };
    SetIniHost(std::move(host));
    SetCustomIniPath("");
    // A game running on this machine must not change what the window tests see.
    gameprocess::pretendGameRunning(false);
    writeSampleGameFiles();
}

WindowTest::~WindowTest() {
    m_form.reset();
    SetIniHost({});
    gameprocess::pretendGameRunning(std::nullopt);
}

TMainform& WindowTest::open() {
    m_form = std::make_unique<TMainform>(dialogs);
    dialogs.take();
    return *m_form;
}

std::filesystem::path WindowTest::configFolder() const {
    return documents() / "My Games" / "Unreal Tournament 3" / "UTGame" / "Config";
}

void WindowTest::writeSampleGameFiles() {
    writeBytes(gameFile("UTEngine.ini"), kSampleEngineIni);
    writeBytes(gameFile("UTGame.ini"), kSampleGameIni);
    writeBytes(gameFile("UTInput.ini"), kSampleInputIni);
}

std::string WindowTest::missingMessage(const std::string& file) const {
    return "message: The ini, expected in \"" + gameFile(file).string() + "\", could not be found or loaded.";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

const std::string kSampleEngineIni = "[IniVersion]\r\n"
                                     "Patch=5\r\n"
                                     "\r\n"
                                     "[Engine.Engine]\r\n"
                                     "; sound and streaming\r\n"
                                     "bAllowMatureLanguage=False\r\n"
                                     "bUseSound=True\r\n"
                                     "bUseTextureStreaming=1\r\n"
                                     "bUseBackgroundLevelStreaming=True\r\n"
                                     "bDisablePhysXHardwareSupport=TRUE\r\n"
                                     "ShadowFilterRadius=0x20\r\n"
                                     "DepthBias=0.012000\r\n"
                                     "ModShadowFadeDistanceExponent=0.200000\r\n"
                                     "\r\n"
                                     "[Engine.ISVHacks]\r\n"
                                     "bInitializeShadersOnDemand=False\r\n"
                                     "DisableATITextureFilterOptimizationChecks=True\r\n"
                                     "UseMinimalNVIDIADriverShaderOptimization=False\r\n"
                                     "\r\n"
                                     "[Engine.GameEngine]\r\n"
                                     "bSmoothFrameRate=True\r\n"
                                     "MinSmoothedFrameRate=22\r\n"
                                     "MaxSmoothedFrameRate=62\r\n"
                                     "bClearAnimSetLinkupCachesOnLoadMap=True\r\n"
                                     "\r\n"
                                     "[Engine.Client]\r\n"
                                     "MinDesiredFrameRate=35.000000\r\n"
                                     "\r\n"
                                     "[Engine.Player]\r\n"
                                     "ConfiguredInternetSpeed=10000\r\n"
                                     "\r\n"
                                     "[ALAudio.ALAudioDevice]\r\n"
                                     "MaxChannels=32\r\n"
                                     "UseEffectsProcessing=True\r\n"
                                     "\r\n"
                                     "[FullScreenMovie]\r\n"
                                     "StartupMovies=UE3_logo\r\n"
                                     "StartupMovies=UT_intro\r\n"
                                     "\r\n"
                                     "[SystemSettings]\r\n"
                                     "StaticDecals=True\r\n"
                                     "DynamicDecals=True\r\n"
                                     "DynamicLights=True\r\n"
                                     "DynamicShadows=True\r\n"
                                     "LightEnvironmentShadows=True\r\n"
                                     "CompositeDynamicLights=False\r\n"
                                     "DirectionalLightmaps=True\r\n"
                                     "MotionBlur=True\r\n"
                                     "DepthOfField=True\r\n"
                                     "Bloom=True\r\n"
                                     "QualityBloom=True\r\n"
                                     "Distortion=True\r\n"
                                     "DropParticleDistortion=False\r\n"
                                     "SpeedTreeLeaves=True\r\n"
                                     "SpeedTreeFronds=True\r\n"
                                     "OnlyStreamInTextures=False\r\n"
                                     "LensFlares=True\r\n"
                                     "FogVolumes=True\r\n"
                                     "FloatingPointRenderTargets=True\r\n"
                                     "Trilinear=True\r\n"
                                     "UpscaleScreenPercentage=True\r\n"
                                     "AllowD3D10=False\r\n"
                                     "EnableHighPolyChars=True\r\n"
                                     "SkeletalMeshLODBias=0\r\n"
                                     "ParticleLODBias=0\r\n"
                                     "DetailMode=016\r\n"
                                     "ShadowFilterQualityBias=1\r\n"
                                     "MaxAnisotropy=16\r\n"
                                     "MaxMultisamples=1\r\n"
                                     "MinShadowResolution=32\r\n"
                                     "MaxShadowResolution=512\r\n"
                                     "ResX=1280\r\n"
                                     "ResY=1024\r\n"
                                     "ScreenPercentage=100.000000\r\n"
                                     "ShadowTexelsPerPixel=2.000000\r\n"
                                     "; keep this line\r\n";

const std::string kSampleGameIni = "[Engine.HUD]\r\n"
                                   "bMessageBeep=True\r\n"
                                   "bShowHud=True\r\n"
                                   "HudCanvasScale=0.95\r\n"
                                   "ConsoleMessageCount=4\r\n"
                                   "MessageFontOffset=0\r\n"
                                   "\r\n"
                                   "[UTGame.UTHUD]\r\n"
                                   "bShowDamage=True\r\n"
                                   "bShowDoll=True\r\n"
                                   "bShowAmmo=True\r\n"
                                   "bShowPowerups=False\r\n"
                                   "\r\n"
                                   "[UTGame.UTPawn]\r\n"
                                   "bWeaponBob=True\r\n"
                                   "Bob=0.010\r\n"
                                   "\r\n"
                                   "[UTGame.UTPlayerController]\r\n"
                                   "bEnableDodging=True\r\n"
                                   "bLandingShake=True\r\n"
                                   "bFirstPersonWeaponsSelfShadow=True\r\n"
                                   "\r\n"
                                   "[UTGame.UTDeathMessage]\r\n"
                                   "bNoConsoleDeathMessages=False\r\n"
                                   "\r\n"
                                   "[UTGame.UTConsolePlayerInput]\r\n"
                                   "bViewAccelerationEnabled=False\r\n"
                                   "\r\n"
                                   "[Engine.PlayerController]\r\n"
                                   "DynamicPingThreshold=400.000000\r\n"
                                   "\r\n"
                                   "[Engine.DecalManager]\r\n"
                                   "DecalLifeSpan=30.0\r\n";

const std::string kSampleInputIni = "[Engine.PlayerInput]\r\n"
                                    "DoubleClickTime=0.250000\r\n"
                                    "Bindings=(Name=\"F\",Command=\"Feign Death\")\r\n";
