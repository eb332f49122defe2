#include "settings/Presets.h"

#include <iterator>

namespace {

// The first two items were cut at 29 characters long ago; the combo box shows them that way.
constexpr std::string_view kListItems[] = {
    "Maximum effects, lowest perfo",
    "Fewest effects, maximum perfo",
    "Free view for pr0-gamers",
    "Just without the annoying effects",
};

static_assert(std::size(kListItems) == kPresetCount);

// Columns: maximum effects, fewest effects, free view, without the annoying effects.
// The hidden movie box comes last.
// clang-format off
constexpr PresetCheckBox kCheckBoxes[] = {
    {"bAllowMatureLanguage",                      {true,  true,  true,  false}},
    {"bUseSound",                                 {true,  true,  true,  true}},
    {"bUseTextureStreaming",                      {true,  true,  true,  true}},
    {"bUseBackgroundLevelStreaming",              {true,  true,  true,  true}},
    {"bDisablePhysXHardwareSupport",              {true,  true,  true,  true}},
    {"bInitializeShadersOnDemand",                {false, false, false, false}},
    {"DisableATITextureFilterOptimizationChecks", {true,  true,  true,  true}},
    {"UseMinimalNVIDIADriverShaderOptimization",  {false, false, false, false}},
    {"bSmoothFrameRate",                          {true,  true,  true,  true}},
    {"bClearAnimSetLinkupCachesOnLoadMap",        {true,  true,  true,  true}},
    {"UseEffectsProcessing",                      {true,  true,  true,  true}},
    {"StaticDecals",                              {true,  false, false, true}},
    {"DynamicDecals",                             {true,  true,  true,  true}},
    {"DynamicLights",                             {true,  false, true,  true}},
    {"DynamicShadows",                            {true,  false, false, true}},
    {"LightEnvironmentShadows",                   {true,  false, true,  true}},
    {"CompositeDynamicLights",                    {false, false, true,  false}},
    {"DirectionalLightmaps",                      {true,  false, false, true}},
    {"MotionBlur",                                {true,  false, false, false}},
    {"DepthOfField",                              {true,  false, false, false}},
    {"Bloom",                                     {true,  false, false, true}},
    {"QualityBloom",                              {true,  false, false, false}},
    {"Distortion",                                {true,  false, false, false}},
    {"DropParticleDistortion",                    {false, true,  false, true}},
    {"SpeedTreeLeaves",                           {true,  false, false, true}},
    {"SpeedTreeFronds",                           {true,  false, false, true}},
    {"OnlyStreamInTextures",                      {true,  true,  true,  true}},
    {"LensFlares",                                {true,  false, false, false}},
    {"FogVolumes",                                {true,  false, false, false}},
    {"FloatingPointRenderTargets",                {true,  true,  true,  true}},
    {"Trilinear",                                 {true,  false, true,  true}},
    {"UpscaleScreenPercentage",                   {true,  true,  true,  true}},
    {"AllowD3D10",                                {true,  true,  true,  true}},
    {"EnableHighPolyChars",                       {true,  false, false, true}},
    {"bMessageBeep",                              {true,  true,  true,  true}},
    {"bShowHud",                                  {true,  true,  true,  true}},
    {"bShowDamage",                               {true,  false, false, false}},
    {"bWeaponBob",                                {true,  true,  false, false}},
    {"bEnableDodging",                            {true,  true,  true,  true}},
    {"bLandingShake",                             {true,  true,  false, false}},
    {"bFirstPersonWeaponsSelfShadow",             {true,  false, false, true}},
    {"bNoConsoleDeathMessages",                   {true,  true,  false, false}},
    {"bShowDoll",                                 {true,  true,  true,  true}},
    {"bShowAmmo",                                 {true,  true,  true,  true}},
    {"bShowPowerups",                             {true,  true,  true,  true}},
    {"bViewAccelerationEnabled",                  {true,  true,  false, false}},
    {"bPlayMoviez",                               {true,  true,  true,  true}},
};
// clang-format on

static_assert(std::size(kCheckBoxes) == 47);

// Integer fields get plain whole numbers, the others the real-number text as the game writes it.
// clang-format off
constexpr PresetFieldText kFieldTexts[] = {
    {"ShadowFilterRadius",            {"2",          "0",          "1",          "2"}},
    {"DepthBias",                     {"0.012",      "1.000000",   "0.012",      "0.012"}},
    {"ModShadowFadeDistanceExponent", {"0.2",        "1.000000",   "0.2",        "0.2"}},
    {"MinSmoothedFrameRate",          {"0.000000",   "30.000000",  "30.000000",  "22.000000"}},
    {"MaxSmoothedFrameRate",          {"60.000000",  "80.000000",  "80.000000",  "62.000000"}},
    {"MinDesiredFrameRate",           {"30.000000",  "80.000000",  "60.000000",  "35.000000"}},
    {"ConfiguredInternetSpeed",       {"10000",      "10000",      "10000",      "10000"}},
    {"MaxChannels",                   {"32",         "32",         "32",         "32"}},
    {"SkeletalMeshLODBias",           {"0",          "0",          "0",          "0"}},
    {"ParticleLODBias",               {"0",          "0",          "0",          "0"}},
    {"DetailMode",                    {"4",          "0",          "2",          "2"}},
    {"ShadowFilterQualityBias",       {"1",          "1",          "1",          "1"}},
    {"HudCanvasScale",                {"0.95",       "0.95",       "0.95",       "0.95"}},
    {"ConsoleMessageCount",           {"4",          "4",          "8",          "4"}},
    {"MessageFontOffset",             {"0",          "0",          "0",          "0"}},
    {"MaxAnisotropy",                 {"16",         "0",          "4",          "16"}},
    {"MaxMultisamples",               {"1",          "1",          "1",          "1"}},
    {"MinShadowResolution",           {"32",         "32",         "32",         "32"}},
    {"MaxShadowResolution",           {"512",        "512",        "512",        "512"}},
    {"ResX",                          {"1280",       "1024",       "1280",       "1280"}},
    {"ResY",                          {"1024",       "768",        "1024",       "1024"}},
    {"ScreenPercentage",              {"100.000000", "100.000000", "100.000000", "100.000000"}},
    {"ShadowTexelsPerPixel",          {"2.000000",   "1.000000",   "2.000000",   "2.000000"}},
    {"DynamicPingThreshold",          {"400.000000", "400.000000", "400.000000", "400.000000"}},
    {"DecalLifeSpan",                 {"30.0",       "10.0",       "40.0",       "30.0"}},
    {"Bob",                           {"0.010",      "0.010",      "0.000",      "0.000"}},
    {"DoubleClickTime",               {"0.250000",   "0.250000",   "0.250000",   "0.250000"}},
};
// clang-format on

static_assert(std::size(kFieldTexts) == 27);

} // namespace

std::span<const std::string_view> presetListItems() {
    return kListItems;
}

std::span<const PresetCheckBox> presetCheckBoxes() {
    return kCheckBoxes;
}

std::span<const PresetFieldText> presetFieldTexts() {
    return kFieldTexts;
}
