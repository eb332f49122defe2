#include "settings/Catalogue.h"

#include <algorithm>
#include <iterator>

namespace {

// Load, save and export all walk this list from top to bottom. The check boxes come first,
// the edit fields after them; the movie box writes the key StartupMovies of [FullScreenMovie].
// clang-format off
constexpr CatalogueRow kCatalogue[] = {
    {"bAllowMatureLanguage",                      EngineIni, "Engine.Engine",               "bAllowMatureLanguage",                      ValueKind::Boolean},
    {"bUseSound",                                 EngineIni, "Engine.Engine",               "bUseSound",                                 ValueKind::Boolean},
    {"bUseTextureStreaming",                      EngineIni, "Engine.Engine",               "bUseTextureStreaming",                      ValueKind::Boolean},
    {"bUseBackgroundLevelStreaming",              EngineIni, "Engine.Engine",               "bUseBackgroundLevelStreaming",              ValueKind::Boolean},
    {"bDisablePhysXHardwareSupport",              EngineIni, "Engine.Engine",               "bDisablePhysXHardwareSupport",              ValueKind::Boolean},
    {"bInitializeShadersOnDemand",                EngineIni, "Engine.ISVHacks",             "bInitializeShadersOnDemand",                ValueKind::Boolean},
    {"DisableATITextureFilterOptimizationChecks", EngineIni, "Engine.ISVHacks",             "DisableATITextureFilterOptimizationChecks", ValueKind::Boolean},
    {"UseMinimalNVIDIADriverShaderOptimization",  EngineIni, "Engine.ISVHacks",             "UseMinimalNVIDIADriverShaderOptimization",  ValueKind::Boolean},
    {"bSmoothFrameRate",                          EngineIni, "Engine.GameEngine",           "bSmoothFrameRate",                          ValueKind::Boolean},
    {"bClearAnimSetLinkupCachesOnLoadMap",        EngineIni, "Engine.GameEngine",           "bClearAnimSetLinkupCachesOnLoadMap",        ValueKind::Boolean},
    {"UseEffectsProcessing",                      EngineIni, "ALAudio.ALAudioDevice",       "UseEffectsProcessing",                      ValueKind::Boolean},
    {"bPlayMoviez",                               EngineIni, "FullScreenMovie",             "StartupMovies",                             ValueKind::MovieText},
    {"StaticDecals",                              EngineIni, "SystemSettings",              "StaticDecals",                              ValueKind::Boolean},
    {"DynamicDecals",                             EngineIni, "SystemSettings",              "DynamicDecals",                             ValueKind::Boolean},
    {"DynamicLights",                             EngineIni, "SystemSettings",              "DynamicLights",                             ValueKind::Boolean},
    {"DynamicShadows",                            EngineIni, "SystemSettings",              "DynamicShadows",                            ValueKind::Boolean},
    {"LightEnvironmentShadows",                   EngineIni, "SystemSettings",              "LightEnvironmentShadows",                   ValueKind::Boolean},
    {"CompositeDynamicLights",                    EngineIni, "SystemSettings",              "CompositeDynamicLights",                    ValueKind::Boolean},
    {"DirectionalLightmaps",                      EngineIni, "SystemSettings",              "DirectionalLightmaps",                      ValueKind::Boolean},
    {"MotionBlur",                                EngineIni, "SystemSettings",              "MotionBlur",                                ValueKind::Boolean},
    {"DepthOfField",                              EngineIni, "SystemSettings",              "DepthOfField",                              ValueKind::Boolean},
    {"Bloom",                                     EngineIni, "SystemSettings",              "Bloom",                                     ValueKind::Boolean},
    {"QualityBloom",                              EngineIni, "SystemSettings",              "QualityBloom",                              ValueKind::Boolean},
    {"Distortion",                                EngineIni, "SystemSettings",              "Distortion",                                ValueKind::Boolean},
    {"DropParticleDistortion",                    EngineIni, "SystemSettings",              "DropParticleDistortion",                    ValueKind::Boolean},
    {"SpeedTreeLeaves",                           EngineIni, "SystemSettings",              "SpeedTreeLeaves",                           ValueKind::Boolean},
    {"SpeedTreeFronds",                           EngineIni, "SystemSettings",              "SpeedTreeFronds",                           ValueKind::Boolean},
    {"OnlyStreamInTextures",                      EngineIni, "SystemSettings",              "OnlyStreamInTextures",                      ValueKind::Boolean},
    {"LensFlares",                                EngineIni, "SystemSettings",              "LensFlares",                                ValueKind::Boolean},
    {"FogVolumes",                                EngineIni, "SystemSettings",              "FogVolumes",                                ValueKind::Boolean},
    {"FloatingPointRenderTargets",                EngineIni, "SystemSettings",              "FloatingPointRenderTargets",                ValueKind::Boolean},
    {"Trilinear",                                 EngineIni, "SystemSettings",              "Trilinear",                                 ValueKind::Boolean},
    {"UpscaleScreenPercentage",                   EngineIni, "SystemSettings",              "UpscaleScreenPercentage",                   ValueKind::Boolean},
    {"AllowD3D10",                                EngineIni, "SystemSettings",              "AllowD3D10",                                ValueKind::Boolean},
    {"EnableHighPolyChars",                       EngineIni, "SystemSettings",              "EnableHighPolyChars",                       ValueKind::Boolean},
    {"bMessageBeep",                              GameIni,   "Engine.HUD",                  "bMessageBeep",                              ValueKind::Boolean},
    {"bShowHud",                                  GameIni,   "Engine.HUD",                  "bShowHud",                                  ValueKind::Boolean},
    {"bShowDamage",                               GameIni,   "UTGame.UTHUD",                "bShowDamage",                               ValueKind::Boolean},
    {"bWeaponBob",                                GameIni,   "UTGame.UTPawn",               "bWeaponBob",                                ValueKind::Boolean},
    {"bEnableDodging",                            GameIni,   "UTGame.UTPlayerController",   "bEnableDodging",                            ValueKind::Boolean},
    {"bLandingShake",                             GameIni,   "UTGame.UTPlayerController",   "bLandingShake",                             ValueKind::Boolean},
    {"bFirstPersonWeaponsSelfShadow",             GameIni,   "UTGame.UTPlayerController",   "bFirstPersonWeaponsSelfShadow",             ValueKind::Boolean},
    {"bNoConsoleDeathMessages",                   GameIni,   "UTGame.UTDeathMessage",       "bNoConsoleDeathMessages",                   ValueKind::Boolean},
    {"bShowDoll",                                 GameIni,   "UTGame.UTHUD",                "bShowDoll",                                 ValueKind::Boolean},
    {"bShowAmmo",                                 GameIni,   "UTGame.UTHUD",                "bShowAmmo",                                 ValueKind::Boolean},
    {"bShowPowerups",                             GameIni,   "UTGame.UTHUD",                "bShowPowerups",                             ValueKind::Boolean},
    {"bViewAccelerationEnabled",                  GameIni,   "UTGame.UTConsolePlayerInput", "bViewAccelerationEnabled",                  ValueKind::Boolean},
    {"ShadowFilterRadius",                        EngineIni, "Engine.Engine",               "ShadowFilterRadius",                        ValueKind::Integer},
    {"DepthBias",                                 EngineIni, "Engine.Engine",               "DepthBias",                                 ValueKind::FloatText},
    {"ModShadowFadeDistanceExponent",             EngineIni, "Engine.Engine",               "ModShadowFadeDistanceExponent",             ValueKind::FloatText},
    {"MinSmoothedFrameRate",                      EngineIni, "Engine.GameEngine",           "MinSmoothedFrameRate",                      ValueKind::FloatText},
    {"MaxSmoothedFrameRate",                      EngineIni, "Engine.GameEngine",           "MaxSmoothedFrameRate",                      ValueKind::FloatText},
    {"MinDesiredFrameRate",                       EngineIni, "Engine.Client",               "MinDesiredFrameRate",                       ValueKind::FloatText},
    {"ConfiguredInternetSpeed",                   EngineIni, "Engine.Player",               "ConfiguredInternetSpeed",                   ValueKind::Integer},
    {"MaxChannels",                               EngineIni, "ALAudio.ALAudioDevice",       "MaxChannels",                               ValueKind::Integer},
    {"SkeletalMeshLODBias",                       EngineIni, "SystemSettings",              "SkeletalMeshLODBias",                       ValueKind::Integer},
    {"ParticleLODBias",                           EngineIni, "SystemSettings",              "ParticleLODBias",                           ValueKind::Integer},
    {"DetailMode",                                EngineIni, "SystemSettings",              "DetailMode",                                ValueKind::Integer},
    {"ShadowFilterQualityBias",                   EngineIni, "SystemSettings",              "ShadowFilterQualityBias",                   ValueKind::Integer},
    {"HudCanvasScale",                            GameIni,   "Engine.HUD",                  "HudCanvasScale",                            ValueKind::FloatText},
    {"ConsoleMessageCount",                       GameIni,   "Engine.HUD",                  "ConsoleMessageCount",                       ValueKind::Integer},
    {"MessageFontOffset",                         GameIni,   "Engine.HUD",                  "MessageFontOffset",                         ValueKind::Integer},
    {"MaxAnisotropy",                             EngineIni, "SystemSettings",              "MaxAnisotropy",                             ValueKind::Integer},
    {"MaxMultisamples",                           EngineIni, "SystemSettings",              "MaxMultisamples",                           ValueKind::Integer},
    {"MinShadowResolution",                       EngineIni, "SystemSettings",              "MinShadowResolution",                       ValueKind::Integer},
    {"MaxShadowResolution",                       EngineIni, "SystemSettings",              "MaxShadowResolution",                       ValueKind::Integer},
    {"ResX",                                      EngineIni, "SystemSettings",              "ResX",                                      ValueKind::Integer},
    {"ResY",                                      EngineIni, "SystemSettings",              "ResY",                                      ValueKind::Integer},
    {"ScreenPercentage",                          EngineIni, "SystemSettings",              "ScreenPercentage",                          ValueKind::FloatText},
    {"ShadowTexelsPerPixel",                      EngineIni, "SystemSettings",              "ShadowTexelsPerPixel",                      ValueKind::FloatText},
    {"DynamicPingThreshold",                      GameIni,   "Engine.PlayerController",     "DynamicPingThreshold",                      ValueKind::FloatText},
    {"DecalLifeSpan",                             GameIni,   "Engine.DecalManager",         "DecalLifeSpan",                             ValueKind::FloatText},
    {"Bob",                                       GameIni,   "UTGame.UTPawn",               "Bob",                                       ValueKind::FloatText},
    {"DoubleClickTime",                           InputIni,  "Engine.PlayerInput",          "DoubleClickTime",                           ValueKind::FloatText},
};
// clang-format on

static_assert(std::size(kCatalogue) == 74);

// Section by section as the game files are read; within a section in window order.
// clang-format off
constexpr std::string_view kMarkingWalk[] = {
    // EngineIni [Engine.Engine]
    "bAllowMatureLanguage", "bUseSound", "bUseTextureStreaming", "bUseBackgroundLevelStreaming",
    "bDisablePhysXHardwareSupport",
    // EngineIni [Engine.ISVHacks]
    "bInitializeShadersOnDemand", "DisableATITextureFilterOptimizationChecks",
    "UseMinimalNVIDIADriverShaderOptimization",
    // EngineIni [Engine.GameEngine]
    "bSmoothFrameRate", "bClearAnimSetLinkupCachesOnLoadMap",
    // EngineIni [ALAudio.ALAudioDevice]
    "UseEffectsProcessing",
    // GameIni [Engine.HUD]
    "bMessageBeep", "bShowHud",
    // EngineIni [SystemSettings]
    "StaticDecals", "DynamicDecals", "DynamicLights", "DynamicShadows", "LightEnvironmentShadows",
    "CompositeDynamicLights", "DirectionalLightmaps", "MotionBlur", "DepthOfField", "Bloom", "QualityBloom",
    "Distortion", "DropParticleDistortion", "SpeedTreeLeaves", "SpeedTreeFronds", "OnlyStreamInTextures",
    "LensFlares", "FogVolumes", "FloatingPointRenderTargets", "Trilinear", "UpscaleScreenPercentage",
    "AllowD3D10", "EnableHighPolyChars",
    // GameIni [UTGame.UTConsolePlayerInput]
    "bViewAccelerationEnabled",
    // GameIni [UTGame.UTPawn]
    "bWeaponBob",
    // GameIni [UTGame.UTPlayerController]
    "bEnableDodging", "bLandingShake", "bFirstPersonWeaponsSelfShadow",
    // GameIni [UTGame.UTDeathMessage]
    "bNoConsoleDeathMessages",
    // GameIni [UTGame.UTHUD]
    "bShowDoll", "bShowAmmo", "bShowPowerups", "bShowDamage",
};
// clang-format on

static_assert(std::size(kMarkingWalk) == 46);

} // namespace

std::span<const CatalogueRow> settingsCatalogue() {
    return kCatalogue;
}

const CatalogueRow* findCatalogueRow(std::string_view control) {
    const auto it = std::find_if(std::begin(kCatalogue), std::end(kCatalogue),
                                 [control](const CatalogueRow& row) { return row.control == control; });
    return it == std::end(kCatalogue) ? nullptr : &*it;
}

std::span<const std::string_view> markingWalkOrder() {
    return kMarkingWalk;
}
