#include "ui/LayoutTable.h"

#include <iterator>

namespace {

using enum ControlKind;

// The main window at 96 dots per inch. Columns: name, kind, parent, left, top, width, height, tab,
// then caption (or an edit field's text), checked, events, look and, for a caption label, the
// field it names. Labels sized to their text carry AutoWidth; a caption label's width is left to
// the builder.
// clang-format off
constexpr ControlRow kLayout[] = {
    // Top strip, scroll box, description box and patch version, directly on the window.
    {"Panel3",                                    Panel,        "",           0,   0,   153, 57,  4,  "", false, NoEvents, PlainLook, ""},
    {"Panel2",                                    Panel,        "",           152, 0,   185, 57,  3,  "", false, NoEvents, PlainLook, ""},
    {"Panel4",                                    Panel,        "",           336, 0,   193, 57,  6,  "", false, NoEvents, PlainLook, ""},
    {"Panel1",                                    Panel,        "",           528, 0,   153, 57,  2,  "", false, NoEvents, PlainLook, ""},
    {"Label28",                                   Label,        "",           688, 0,   72,  13,  -1, "Getting Help", false, NoEvents, BoldCaption | AutoWidth, ""},
    {"Label29",                                   Label,        "",           688, 20,  120, 13,  -1, "Questions? Suggestions?", false, NoEvents, AutoWidth, ""},
    {"Label30",                                   Label,        "",           688, 40,  19,  13,  -1, "Visit", false, NoEvents, AutoWidth, ""},
    {"Label31",                                   Label,        "",           712, 40,  142, 13,  -1, "https://knobwerk.example", false, OnClick, Link | AutoWidth, ""},
    {"Button1",                                   Button,       "",           822, 0,   35,  17,  1,  "Info", false, OnClick, PlainLook, ""},
    {"ScrollBox1",                                ScrollBox,    "",           0,   56,  857, 577, 0,  "", false, NoEvents, PlainLook, ""},
    {"gDesc",                                     GroupBox,     "",           0,   634, 721, 63,  5,  "Description: none", false, NoEvents, PlainLook, ""},
    {"patchversion",                              Label,        "",           724, 688, 130, 13,  -1, "Your UT3 Patch Version: -1", false, NoEvents, RightAligned | AutoWidth, ""},

    // Inside the panels and the description box.
    {"BtnSave",                                   BitmapButton, "Panel3",     8,   4,   137, 24,  0,  "Save to INI", false, OnClick, BoldCaption, ""},
    {"BtnExport",                                 BitmapButton, "Panel3",     8,   30,  137, 24,  1,  "Export Settings", false, OnClick, PlainLook, ""},
    {"BtnLoadIni",                                Button,       "Panel2",     8,   4,   169, 24,  0,  "Load Settings from my Inis", false, OnClick, BoldCaption, ""},
    {"BtnImport",                                 BitmapButton, "Panel2",     8,   30,  169, 25,  2,  "Import Settings", false, OnClick, PlainLook, ""},
    {"cbPresets",                                 ComboBox,     "Panel4",     8,   16,  177, 21,  0,  "Use presets", false, OnChange, PlainLook, ""},
    {"BtnBackup",                                 Button,       "Panel1",     8,   4,   137, 24,  0,  "Backup existing Ini Files", false, OnClick, PlainLook, ""},
    {"BtnRestore",                                Button,       "Panel1",     8,   30,  137, 24,  1,  "Restore from Backup", false, OnClick, PlainLook, ""},
    {"sDesc",                                     StaticText,   "gDesc",      9,   16,  704, 41,  -1, "Hold your mouse over an Itemtext and get a description here", false, NoEvents, PlainLook, ""},

    // The settings, one group box per INI section; an edit field is followed by its caption label.
    {"GroupBox1",                                 GroupBox,     "ScrollBox1", 8,   8,   265, 217, 10, "Section: [Engine.Engine]", false, NoEvents, PlainLook, ""},
    {"bAllowMatureLanguage",                      CheckBox,     "GroupBox1",  8,   24,  249, 17,  0,  "bAllowMatureLanguage", false, OnClick | OnMouseMove, PlainLook, ""},
    {"bUseSound",                                 CheckBox,     "GroupBox1",  8,   48,  249, 17,  1,  "bUseSound", true, OnClick | OnMouseMove, PlainLook, ""},
    {"bUseTextureStreaming",                      CheckBox,     "GroupBox1",  8,   72,  249, 17,  2,  "bUseTextureStreaming", true, OnClick | OnMouseMove, PlainLook, ""},
    {"bUseBackgroundLevelStreaming",              CheckBox,     "GroupBox1",  8,   96,  249, 17,  3,  "bUseBackgroundLevelStreaming", true, OnClick, PlainLook, ""},
    {"ShadowFilterRadius",                        Edit,         "GroupBox1",  8,   116, 73,  21,  5,  "2", false, OnEnterExit, PlainLook, ""},
    {"Label1",                                    Label,        "GroupBox1",  88,  120, 0,   13,  -1, "ShadowFilterRadius", false, OnMouseMove, AutoWidth, "ShadowFilterRadius"},
    {"DepthBias",                                 Edit,         "GroupBox1",  8,   140, 73,  21,  6,  "0.012", false, OnEnterExit, PlainLook, ""},
    {"Label2",                                    Label,        "GroupBox1",  88,  144, 0,   13,  -1, "DepthBias", false, OnMouseMove, AutoWidth, "DepthBias"},
    {"ModShadowFadeDistanceExponent",             Edit,         "GroupBox1",  8,   164, 73,  21,  7,  "0.2", false, OnEnterExit, PlainLook, ""},
    {"Label3",                                    Label,        "GroupBox1",  88,  168, 0,   13,  -1, "ModShadowFadeDistanceExponent", false, OnMouseMove, AutoWidth, "ModShadowFadeDistanceExponent"},
    {"bDisablePhysXHardwareSupport",              CheckBox,     "GroupBox1",  8,   192, 249, 17,  4,  "bDisablePhysXHardwareSupport", true, OnClick | OnMouseMove, PlainLook, ""},

    {"GroupBox2",                                 GroupBox,     "ScrollBox1", 8,   232, 265, 97,  6,  "Section: [Engine.ISVHacks]", false, NoEvents, PlainLook, ""},
    {"bInitializeShadersOnDemand",                CheckBox,     "GroupBox2",  8,   24,  249, 17,  0,  "bInitializeShadersOnDemand", false, OnClick | OnMouseMove, PlainLook, ""},
    {"DisableATITextureFilterOptimizationChecks", CheckBox,     "GroupBox2",  8,   48,  249, 17,  1,  "DisableATITextureFilterOptimizationChecks", true, OnClick | OnMouseMove, PlainLook, ""},
    {"UseMinimalNVIDIADriverShaderOptimization",  CheckBox,     "GroupBox2",  8,   72,  249, 17,  2,  "UseMinimalNVIDIADriverShaderOptimization", false, OnClick | OnMouseMove, PlainLook, ""},

    {"GroupBox3",                                 GroupBox,     "ScrollBox1", 8,   336, 265, 121, 5,  "Section: [Engine.GameEngine]", false, NoEvents, PlainLook, ""},
    {"bSmoothFrameRate",                          CheckBox,     "GroupBox3",  8,   24,  249, 17,  0,  "bSmoothFrameRate", true, OnClick | OnMouseMove, PlainLook, ""},
    {"MinSmoothedFrameRate",                      Edit,         "GroupBox3",  8,   44,  73,  21,  1,  "22", false, OnEnterExit, PlainLook, ""},
    {"Label4",                                    Label,        "GroupBox3",  88,  48,  0,   13,  -1, "MinSmoothedFrameRate", false, OnMouseMove, AutoWidth, "MinSmoothedFrameRate"},
    {"MaxSmoothedFrameRate",                      Edit,         "GroupBox3",  8,   68,  73,  21,  2,  "62", false, OnEnterExit, PlainLook, ""},
    {"Label5",                                    Label,        "GroupBox3",  88,  72,  0,   13,  -1, "MaxSmoothedFrameRate", false, OnMouseMove, AutoWidth, "MaxSmoothedFrameRate"},
    {"bClearAnimSetLinkupCachesOnLoadMap",        CheckBox,     "GroupBox3",  8,   96,  249, 17,  3,  "bClearAnimSetLinkupCachesOnLoadMap", true, OnClick | OnMouseMove, PlainLook, ""},

    {"GroupBox4",                                 GroupBox,     "ScrollBox1", 8,   464, 265, 49,  4,  "Section: [Engine.Client]", false, NoEvents, PlainLook, ""},
    {"MinDesiredFrameRate",                       Edit,         "GroupBox4",  8,   20,  73,  21,  0,  "35.000000", false, OnEnterExit, PlainLook, ""},
    {"Label6",                                    Label,        "GroupBox4",  88,  24,  0,   13,  -1, "MinDesiredFrameRate", false, OnMouseMove, AutoWidth, "MinDesiredFrameRate"},

    {"GroupBox5",                                 GroupBox,     "ScrollBox1", 8,   520, 265, 49,  3,  "Section: [Engine.Player]", false, NoEvents, PlainLook, ""},
    {"ConfiguredInternetSpeed",                   Edit,         "GroupBox5",  8,   20,  73,  21,  0,  "10000", false, OnEnterExit, PlainLook, ""},
    {"Label7",                                    Label,        "GroupBox5",  88,  24,  0,   13,  -1, "ConfiguredInternetSpeed", false, OnMouseMove, AutoWidth, "ConfiguredInternetSpeed"},

    {"GroupBox6",                                 GroupBox,     "ScrollBox1", 8,   576, 265, 89,  2,  "Section: [ALAudio.ALAudioDevice]", false, NoEvents, PlainLook, ""},
    {"MaxChannels",                               Edit,         "GroupBox6",  8,   20,  73,  21,  0,  "32", false, OnEnterExit, PlainLook, ""},
    {"Label8",                                    Label,        "GroupBox6",  88,  24,  0,   13,  -1, "MaxChannels", false, OnMouseMove, AutoWidth, "MaxChannels"},
    {"UseEffectsProcessing",                      CheckBox,     "GroupBox6",  8,   48,  249, 17,  1,  "UseEffectsProcessing", true, OnClick | OnMouseMove, PlainLook, ""},

    {"GroupBox10",                                GroupBox,     "ScrollBox1", 8,   668, 265, 147, 9,  "Section: [Engine.HUD]", false, NoEvents, PlainLook, ""},
    {"bMessageBeep",                              CheckBox,     "GroupBox10", 8,   24,  249, 17,  0,  "bMessageBeep", true, OnClick | OnMouseMove, PlainLook, ""},
    {"HudCanvasScale",                            Edit,         "GroupBox10", 8,   44,  73,  21,  1,  "0.95", false, OnEnterExit, PlainLook, ""},
    {"Label20",                                   Label,        "GroupBox10", 88,  48,  0,   13,  -1, "HudCanvasScale", false, OnMouseMove, AutoWidth, "HudCanvasScale"},
    {"ConsoleMessageCount",                       Edit,         "GroupBox10", 8,   68,  73,  21,  2,  "4", false, OnEnterExit, PlainLook, ""},
    {"Label21",                                   Label,        "GroupBox10", 88,  72,  0,   13,  -1, "ConsoleMessageCount", false, OnMouseMove, AutoWidth, "ConsoleMessageCount"},
    {"MessageFontOffset",                         Edit,         "GroupBox10", 8,   92,  73,  21,  3,  "0", false, OnEnterExit, PlainLook, ""},
    {"Label22",                                   Label,        "GroupBox10", 88,  96,  0,   13,  -1, "MessageFontOffset", false, OnMouseMove, AutoWidth, "MessageFontOffset"},
    {"bShowHud",                                  CheckBox,     "GroupBox10", 8,   120, 249, 17,  4,  "bShowHud", true, OnClick | OnMouseMove, PlainLook, ""},

    {"GroupBox7",                                 GroupBox,     "ScrollBox1", 280, 8,   273, 657, 1,  "Section: [SystemSettings]", false, NoEvents, PlainLook, ""},
    {"StaticDecals",                              CheckBox,     "GroupBox7",  8,   24,  249, 17,  0,  "StaticDecals", true, OnClick | OnMouseMove, PlainLook, ""},
    {"DynamicDecals",                             CheckBox,     "GroupBox7",  8,   48,  249, 17,  1,  "DynamicDecals", true, OnClick | OnMouseMove, PlainLook, ""},
    {"DynamicLights",                             CheckBox,     "GroupBox7",  8,   72,  249, 17,  2,  "DynamicLights", true, OnClick | OnMouseMove, PlainLook, ""},
    {"DynamicShadows",                            CheckBox,     "GroupBox7",  8,   96,  249, 17,  3,  "DynamicShadows", true, OnClick | OnMouseMove, PlainLook, ""},
    {"LightEnvironmentShadows",                   CheckBox,     "GroupBox7",  8,   120, 249, 17,  4,  "LightEnvironmentShadows", true, OnClick | OnMouseMove, PlainLook, ""},
    {"CompositeDynamicLights",                    CheckBox,     "GroupBox7",  8,   144, 249, 17,  5,  "CompositeDynamicLights", false, OnClick | OnMouseMove, PlainLook, ""},
    {"DirectionalLightmaps",                      CheckBox,     "GroupBox7",  8,   168, 249, 17,  6,  "DirectionalLightmaps", true, OnClick | OnMouseMove, PlainLook, ""},
    {"MotionBlur",                                CheckBox,     "GroupBox7",  8,   192, 249, 17,  7,  "MotionBlur", true, OnClick | OnMouseMove, PlainLook, ""},
    {"DepthOfField",                              CheckBox,     "GroupBox7",  8,   216, 249, 17,  8,  "DepthOfField", true, OnClick | OnMouseMove, PlainLook, ""},
    {"Bloom",                                     CheckBox,     "GroupBox7",  8,   240, 249, 17,  9,  "Bloom", true, OnClick | OnMouseMove, PlainLook, ""},
    {"QualityBloom",                              CheckBox,     "GroupBox7",  8,   256, 249, 17,  10, "QualityBloom", true, OnClick | OnMouseMove, PlainLook, ""},
    {"Distortion",                                CheckBox,     "GroupBox7",  8,   280, 249, 17,  11, "Distortion", true, OnClick | OnMouseMove, PlainLook, ""},
    {"DropParticleDistortion",                    CheckBox,     "GroupBox7",  8,   304, 249, 17,  13, "DropParticleDistortion", false, OnClick | OnMouseMove, PlainLook, ""},
    {"SpeedTreeLeaves",                           CheckBox,     "GroupBox7",  8,   328, 249, 17,  14, "SpeedTreeLeaves", true, OnClick | OnMouseMove, PlainLook, ""},
    {"SpeedTreeFronds",                           CheckBox,     "GroupBox7",  8,   344, 249, 17,  21, "SpeedTreeFronds", true, OnClick | OnMouseMove, PlainLook, ""},
    {"OnlyStreamInTextures",                      CheckBox,     "GroupBox7",  8,   368, 249, 17,  15, "OnlyStreamInTextures", true, OnClick | OnMouseMove, PlainLook, ""},
    {"LensFlares",                                CheckBox,     "GroupBox7",  8,   392, 249, 17,  16, "LensFlares", true, OnClick | OnMouseMove, PlainLook, ""},
    {"FogVolumes",                                CheckBox,     "GroupBox7",  8,   416, 249, 17,  17, "FogVolumes", true, OnClick | OnMouseMove, PlainLook, ""},
    {"FloatingPointRenderTargets",                CheckBox,     "GroupBox7",  8,   440, 249, 17,  18, "FloatingPointRenderTargets", true, OnClick | OnMouseMove, PlainLook, ""},
    {"Trilinear",                                 CheckBox,     "GroupBox7",  8,   464, 249, 17,  19, "Trilinear", true, OnClick | OnMouseMove, PlainLook, ""},
    {"UpscaleScreenPercentage",                   CheckBox,     "GroupBox7",  8,   488, 249, 17,  20, "UpscaleScreenPercentage", true, OnClick | OnMouseMove, PlainLook, ""},
    {"AllowD3D10",                                CheckBox,     "GroupBox7",  8,   512, 249, 17,  12, "AllowD3D10", true, OnClick | OnMouseMove, PlainLook, ""},
    {"EnableHighPolyChars",                       CheckBox,     "GroupBox7",  8,   536, 249, 17,  22, "EnableHighPolyChars", true, OnClick | OnMouseMove, PlainLook, ""},
    {"SkeletalMeshLODBias",                       Edit,         "GroupBox7",  8,   556, 73,  21,  23, "0", false, OnEnterExit, PlainLook, ""},
    {"Label9",                                    Label,        "GroupBox7",  88,  560, 0,   13,  -1, "SkeletalMeshLODBias", false, OnMouseMove, AutoWidth, "SkeletalMeshLODBias"},
    {"ParticleLODBias",                           Edit,         "GroupBox7",  8,   580, 73,  21,  24, "0", false, OnEnterExit, PlainLook, ""},
    {"Label10",                                   Label,        "GroupBox7",  88,  584, 0,   13,  -1, "ParticleLODBias", false, OnMouseMove, AutoWidth, "ParticleLODBias"},
    {"DetailMode",                                Edit,         "GroupBox7",  8,   604, 73,  21,  25, "2", false, OnEnterExit, PlainLook, ""},
    {"Label11",                                   Label,        "GroupBox7",  88,  608, 0,   13,  -1, "DetailMode", false, OnMouseMove, AutoWidth, "DetailMode"},
    {"ShadowFilterQualityBias",                   Edit,         "GroupBox7",  8,   628, 73,  21,  26, "1", false, OnEnterExit, PlainLook, ""},
    {"Label12",                                   Label,        "GroupBox7",  88,  632, 0,   13,  -1, "ShadowFilterQualityBias", false, OnMouseMove, AutoWidth, "ShadowFilterQualityBias"},

    {"GroupBox18",                                GroupBox,     "ScrollBox1", 280, 668, 273, 53,  16, "Section: [UTGame.UTConsolePlayerInput]", false, NoEvents, PlainLook, ""},
    {"bViewAccelerationEnabled",                  CheckBox,     "GroupBox18", 8,   20,  249, 17,  0,  "bViewAccelerationEnabled", true, OnClick | OnMouseMove, PlainLook, ""},

    {"GroupBox17",                                GroupBox,     "ScrollBox1", 280, 724, 273, 53,  15, "Section: [Engine.PlayerInput]", false, NoEvents, PlainLook, ""},
    {"DoubleClickTime",                           Edit,         "GroupBox17", 8,   20,  73,  21,  0,  "0.250000", false, OnEnterExit, PlainLook, ""},
    {"Label26",                                   Label,        "GroupBox17", 88,  24,  0,   13,  -1, "DoubleClickTime", false, OnMouseMove, AutoWidth, "DoubleClickTime"},

    {"GroupBox19",                                GroupBox,     "ScrollBox1", 280, 780, 273, 57,  17, "Section: [FillScreenMovie]", false, NoEvents, Hidden, ""},
    {"bPlayMoviez",                               CheckBox,     "GroupBox19", 8,   24,  257, 17,  0,  "Play movies on startup", true, OnMouseMove, PlainLook, ""},

    {"GroupBox8",                                 GroupBox,     "ScrollBox1", 560, 8,   273, 217, 0,  "Section: [SystemSettings] part two", false, NoEvents, PlainLook, ""},
    {"MaxAnisotropy",                             Edit,         "GroupBox8",  8,   20,  73,  21,  0,  "16", false, OnEnterExit, PlainLook, ""},
    {"Label13",                                   Label,        "GroupBox8",  88,  24,  0,   13,  -1, "MaxAnisotropy", false, OnMouseMove, AutoWidth, "MaxAnisotropy"},
    {"MaxMultisamples",                           Edit,         "GroupBox8",  8,   44,  73,  21,  1,  "1", false, OnEnterExit, PlainLook, ""},
    {"Label14",                                   Label,        "GroupBox8",  88,  48,  0,   13,  -1, "MaxMultisamples", false, OnMouseMove, AutoWidth, "MaxMultisamples"},
    {"MinShadowResolution",                       Edit,         "GroupBox8",  8,   68,  73,  21,  2,  "32", false, OnEnterExit, PlainLook, ""},
    {"Label15",                                   Label,        "GroupBox8",  88,  72,  0,   13,  -1, "MinShadowResolution", false, OnMouseMove, AutoWidth, "MinShadowResolution"},
    {"MaxShadowResolution",                       Edit,         "GroupBox8",  8,   92,  73,  21,  3,  "512", false, OnEnterExit, PlainLook, ""},
    {"Label16",                                   Label,        "GroupBox8",  88,  96,  0,   13,  -1, "MaxShadowResolution", false, OnMouseMove, AutoWidth, "MaxShadowResolution"},
    {"ResX",                                      Edit,         "GroupBox8",  8,   116, 73,  21,  4,  "1280", false, OnEnterExit, PlainLook, ""},
    {"Label17",                                   Label,        "GroupBox8",  88,  120, 0,   13,  -1, "ResX", false, OnMouseMove, AutoWidth, "ResX"},
    {"ResY",                                      Edit,         "GroupBox8",  8,   140, 73,  21,  5,  "1024", false, OnEnterExit, PlainLook, ""},
    {"Label18",                                   Label,        "GroupBox8",  88,  144, 0,   13,  -1, "ResY", false, OnMouseMove, AutoWidth, "ResY"},
    {"ScreenPercentage",                          Edit,         "GroupBox8",  8,   164, 73,  21,  6,  "100.000000", false, OnEnterExit, PlainLook, ""},
    {"Labelxx",                                   Label,        "GroupBox8",  88,  168, 0,   13,  -1, "ScreenPercentage", false, OnMouseMove, AutoWidth, "ScreenPercentage"},
    {"ShadowTexelsPerPixel",                      Edit,         "GroupBox8",  8,   188, 73,  21,  7,  "2.000000", false, OnEnterExit, PlainLook, ""},
    {"Label19",                                   Label,        "GroupBox8",  88,  192, 0,   13,  -1, "ShadowTexelsPerPixel", false, OnMouseMove, AutoWidth, "ShadowTexelsPerPixel"},

    {"GroupBox11",                                GroupBox,     "ScrollBox1", 560, 232, 273, 49,  8,  "Section: [Engine.PlayerController]", false, NoEvents, PlainLook, ""},
    {"DynamicPingThreshold",                      Edit,         "GroupBox11", 8,   20,  73,  21,  0,  "400.000000", false, OnEnterExit, PlainLook, ""},
    {"Label23",                                   Label,        "GroupBox11", 88,  24,  0,   13,  -1, "DynamicPingThreshold", false, OnMouseMove, AutoWidth, "DynamicPingThreshold"},

    {"GroupBox12",                                GroupBox,     "ScrollBox1", 560, 288, 273, 49,  7,  "Section: [Engine.DecalManager]", false, NoEvents, PlainLook, ""},
    {"DecalLifeSpan",                             Edit,         "GroupBox12", 8,   20,  73,  21,  0,  "30.0", false, OnEnterExit, PlainLook, ""},
    {"Label24",                                   Label,        "GroupBox12", 88,  24,  0,   13,  -1, "DecalLifeSpan", false, OnMouseMove, AutoWidth, "DecalLifeSpan"},

    {"GroupBox13",                                GroupBox,     "ScrollBox1", 560, 340, 273, 73,  11, "Section: [UTGame.UTPawn]", false, NoEvents, PlainLook, ""},
    {"Bob",                                       Edit,         "GroupBox13", 8,   20,  73,  21,  0,  "0.010", false, OnEnterExit, PlainLook, ""},
    {"Label25",                                   Label,        "GroupBox13", 88,  24,  0,   13,  -1, "Bob", false, OnMouseMove, AutoWidth, "Bob"},
    {"bWeaponBob",                                CheckBox,     "GroupBox13", 8,   48,  249, 17,  1,  "bWeaponBob", true, OnClick | OnMouseMove, PlainLook, ""},

    {"GroupBox14",                                GroupBox,     "ScrollBox1", 560, 420, 273, 97,  12, "Section: [UTGame.UTPlayerController]", false, NoEvents, PlainLook, ""},
    {"bEnableDodging",                            CheckBox,     "GroupBox14", 8,   24,  249, 17,  0,  "bEnableDodging", true, OnClick | OnMouseMove, PlainLook, ""},
    {"bLandingShake",                             CheckBox,     "GroupBox14", 8,   48,  249, 17,  1,  "bLandingShake", true, OnClick | OnMouseMove, PlainLook, ""},
    {"bFirstPersonWeaponsSelfShadow",             CheckBox,     "GroupBox14", 8,   72,  249, 17,  2,  "bFirstPersonWeaponsSelfShadow", true, OnClick | OnMouseMove, PlainLook, ""},

    {"GroupBox15",                                GroupBox,     "ScrollBox1", 560, 524, 273, 49,  13, "Section: [UTGame.UTDeathMessage]", false, NoEvents, PlainLook, ""},
    {"bNoConsoleDeathMessages",                   CheckBox,     "GroupBox15", 8,   24,  249, 17,  0,  "bNoConsoleDeathMessages", true, OnClick | OnMouseMove, PlainLook, ""},

    {"GroupBox16",                                GroupBox,     "ScrollBox1", 560, 580, 273, 125, 14, "Section: [UTGame.UTHUD]", false, NoEvents, PlainLook, ""},
    {"bShowDoll",                                 CheckBox,     "GroupBox16", 8,   24,  249, 17,  0,  "bShowDoll", true, OnClick | OnMouseMove, PlainLook, ""},
    {"bShowAmmo",                                 CheckBox,     "GroupBox16", 8,   48,  249, 17,  1,  "bShowAmmo", true, OnClick | OnMouseMove, PlainLook, ""},
    {"bShowPowerups",                             CheckBox,     "GroupBox16", 8,   72,  249, 17,  2,  "bShowPowerups", true, OnClick | OnMouseMove, PlainLook, ""},
    {"bShowDamage",                               CheckBox,     "GroupBox16", 8,   96,  249, 17,  3,  "bShowDamage", true, OnClick | OnMouseMove, PlainLook, ""},
};
// clang-format on

} // namespace

std::span<const ControlRow> windowLayout() {
    return kLayout;
}
