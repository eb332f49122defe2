#include "settings/Descriptions.h"

#include <algorithm>
#include <iterator>

namespace {

// Group by group as the window shows them, each group top to bottom. Titles and texts are shown
// exactly as written here, slips and all. An edit field is explained through its caption label,
// so the label's name stands here, not the field's.
constexpr Description kDescriptions[] = {
    {"bAllowMatureLanguage", "Description: bAllowMatureLanguage",
     "Controls wheather to allow mature taunts or not."},
    {"bUseSound", "Description: bUseSound",
     "Enables/Disables all Sound in the game. Only use if you experience trouble and want to test if the "
     "sound causes it."},
    {"bUseTextureStreaming", "Description: bUseTextureStreaming",
     "Controls the Level streaming behaviour. Levelstreaming is designed vor consoles to avoid lacking of "
     "parts of the Level.\r\nDisabling it might cause some objects not appearing immediately or just being "
     "black."},
    {"Label1", "Description: ShadowFilterRadius",
     "This setting controls the shadow filtering and is determining how detailed the shadow outlines are "
     "drawn.\r\nHigher values reduce details of the shape, lower values give more details."},
    {"Label2", "Description: DepthBias",
     "Controls the quality behaviour of dynamic shadows. Values are given between 0 and 1. A value of 1 "
     "removes dynamic shadows,\r\na lower value spends more ressources on the shadow quality."},
    {"Label3", "Description: ModShadowFadeDistanceExponent",
     "Determines the distance at which shadows start fading out. Higher values draw a smaller radius, "
     "therefore it fades out at a lower range\r\nand reduces performance."},
    {"bDisablePhysXHardwareSupport", "Description: bDisablePhysXHardwareSupport",
     "Only interesting for those, who have a PhysX card, with this option, it can be disabled."},
    {"bInitializeShadersOnDemand", "Description: bInitializeShadersOnDemand",
     "When you have trouble with your Graphics card, change this setting to true, otherwise let it "
     "disabled."},
    {"DisableATITextureFilterOptimizationChecks", "Description: DisableATITextureFilterOptimizationChecks",
     "An ATI specific Option, should be set to true, except when having trouble."},
    {"UseMinimalNVIDIADriverShaderOptimization", "Description: UseMinimalNVIDIADriverShaderOptimization",
     "When having problems like stuttering or hitching with GF 6 or 7 Cards, turn this on, otherwise leave "
     "it off."},
    {"bSmoothFrameRate", "Description: bSmoothFrameRate",
     "Controls weather to use a defined FPS range by the values below where the engine tries to keep the FPS "
     "value. This prevents FPS spikes"},
    {"Label4", "Description: MinSmoothedFrameRate",
     "Defines the minumum range of the smooth framerate. (See above)"},
    {"Label5", "Description: MaxSmoothedFrameRate",
     "Defines the maximum range of the smooth framerate. (See above)"},
    {"bClearAnimSetLinkupCachesOnLoadMap", "Description: bClearAnimSetLinkupCachesOnLoad",
     "Controls some memory-caching functions. Since it has no noticeable effect, just leave it to true."},
    {"Label6", "Description: MinDesiredFrameRate",
     "Defines a minimum FPS, where the engine starts to remove several details and effects when the "
     "framerate gets under this value."},
    {"Label7", "Description: ConfiguredInternetSpeed",
     "Controls the client netspeed. Seems to have no effect anymore, since the Netspeed is mostly controlled "
     "by the server."},
    {"Label8", "Description: MaxChannels",
     "Defines a maximum amount of sound channels being sent to your soundcard. Increase only if you have a "
     "good soundcard. Read the manual to find out how many channels your card can handle."},
    {"UseEffectsProcessing", "Description: ShadowFilterRadius",
     "Controls several sound effects being processed by the engine. Best to keep it as default."},
    {"bMessageBeep", "Description: bMessageBeep",
     "Enables/disables the beep-sound when a new chat-message arrives."},
    {"Label20", "Description: HudCanvasScale",
     "Controls the scale of the shape, where the text is displayed in the HUD."},
    {"Label21", "Description: ConsoleMessageCount",
     "Defines the maximum amount of messages which are displayed on the screen at once."},
    {"Label22", "Description: MessageFontOffset", "Controls the size of the font."},
    {"bShowHud", "Description: bShowHud", "Toggles display of the whole HUD."},
    {"StaticDecals", "Description: StaticDecals",
     "StaticDecals are some decoration objects in maps which can be enabled/disabled with this option."},
    {"DynamicDecals", "Description: DynamicDecals",
     "DynamicDecals appear when you hit something with your weapon. These decals are projected on walls or "
     "other objects for some time."},
    {"DynamicLights", "Description: DynamicLights",
     "Enables/disables dynamic lights which produce nice effects and atmosphere to the game, but give more "
     "performance when disabled."},
    {"DynamicShadows", "Description: DynamicShadows",
     "DynamicShadows are created by dynamic objects such as mover, particles, projectiles, player and "
     "vehicles.\r\nThey give realism and atmosphere to the world, but can be disabled due lack of "
     "performance"},
    {"LightEnvironmentShadows", "Description: LightEnvironmentShadows",
     "Enables/Disables shadows, produced by the world environment, which are not defined by lightmaps."},
    {"CompositeDynamicLights", "Description: CompositeDynamicLights",
     "Enables an alternative sort of dynamic lighting which has less quality and gives some more "
     "performance."},
    {"DirectionalLightmaps", "Description: DirectionalLightmaps",
     "Enables/disables the bump-effect of textures which renders a dynamic light behaviour to materials due "
     "to parallax-mapping."},
    {"MotionBlur", "Description: MotionBlur", "Creates a blurry view when moving around very quickly."},
    {"DepthOfField", "Description: DepthOfField",
     "Creates a focus-postprocessingeffect where the environment in the distance gets blurry and drawn less "
     "sharp."},
    {"Bloom", "Description: Bloom",
     "Creates some sort of shine around bright parts of the view, i.e. sun light."},
    {"QualityBloom", "Description: QualityBloom", "Disabling QualityBloom reduces quality of this effect."},
    {"Distortion", "Description: Distortion",
     "Creates a deformation of the view in special areas, making the environment behind distorted"},
    {"DropParticleDistortion", "Description: DropParticleDistortion",
     "Removes distortion effects of particles, when they have such. Gives more performance for less effects "
     "on particles."},
    {"SpeedTreeLeaves", "Description: SpeedTreeLeaves", "Controls the behaviour of SpeedTree"},
    {"SpeedTreeFronds", "Description: SpeedTreeFronds", "Controls the behaviour of SpeedTree"},
    {"OnlyStreamInTextures", "Description: OnlyStreamInTextures", "Controls the streaming behaviour."},
    {"LensFlares", "Description: LensFlares", "Enables/disables Lensflares in maps, when existent"},
    {"FogVolumes", "Description: FogVolumes",
     "Enables/disables fogvolumes in maps, for example VCTF-Sandstorm."},
    {"FloatingPointRenderTargets", "Description: FloatingPointRenderTargets",
     "Controls several Postprocessing effects which can be disabled by unchecking this option."},
    {"Trilinear", "Description: Trilinear",
     "Enables/disables trilinear filtering, an effect which makes distant textures appear more clearly."},
    {"UpscaleScreenPercentage", "Description: UpscaleScreenPercentage",
     "When Screenpercentage is below 100%, the view gets upscaled to fit the whole screen."},
    {"AllowD3D10", "Description: AllowD3D10",
     "Enables/disables DirectX10 support on vista systems when using a Graphiccard which supports DX10."},
    {"EnableHighPolyChars", "Description: EnableHighPolyChars",
     "Controls weather to display high poly character models in short distance or not."},
    {"Label9", "Description: SkeletalMeshLODBias",
     "Controls the Level of detail function for StaticMesh objects. 0 is the normal level, above reduces "
     "details, below increases the detail behaviour."},
    {"Label10", "Description: ShadowFilterRadius",
     "Controls the Level of detail function for Emitter particles. 0 is the normal level, above reduces "
     "details, below increases the detail behaviour."},
    {"Label11", "Description: DetailMode",
     "Controls the global Detailmode. Everything below 1 removes several effects and increases performance a "
     "lot."},
    {"Label12", "Description: ShadowFilterQualityBias",
     "Controls the shadowfilter quality. Higher values for more quality and less performance."},
    {"bViewAccelerationEnabled", "Description: bViewAccelerationEnabled",
     "Controls a mouse acceleration function."},
    {"Label26", "Description: DoubleClickTime",
     "Defines the range of time, in which a repeated mouseclick counts as a double-click."},
    {"bPlayMoviez", "Description: StartupMovies", "Decide weather to play the introsequences or not.."},
    {"Label13", "Description: MaxAnisotropy",
     "Controls the level of anisotropic filtering which is used to make distant textures look more clear."},
    {"Label14", "Description: MaxMultisample",
     "Affects the multisample value for AntiAliasing, which reduces bad looking pixels on borders. Maximum "
     "is 16"},
    {"Label15", "Description: MinShadowResolution",
     "Defines the minumum resolution for shadows being projected on the environment or other objects."},
    {"Label16", "Description: MaxShadowResolution",
     "Defines the maximum resolution for shadows being projected on the environment or other objects."},
    {"Label17", "Description: ResX", "The Screen resolution width."},
    {"Label18", "Description: ResY", "The Screen resolution height."},
    {"Labelxx", "Description: ScreenPercentage",
     "Reduces the size of the screen by removing information from the view. Everything below 100% creates "
     "black borders, when UpscaleScreenResolution is not checked."},
    {"Label19", "Description: ShadowTexelsPerPixel",
     "Controls the global shape smoothness of all used shadows. A value of 0 removes shadows completely, "
     "higher values give more quality, but decrase performance."},
    {"Label23", "Description: DynamicPingThreshold",
     "When your ping gets above this value, the Netspeed gets modified which tries to decrase your ping."},
    {"Label24", "Description: DecalLifeSpan",
     "Controls how many seconds dynamic decals should be projected until they dissapear."},
    {"Label25", "Description: Bob", "Defines the range in which the weapon bobs when walking."},
    {"bWeaponBob", "Description: bWeaponBob", "Enables/disables weapon bobbing completely."},
    {"bEnableDodging", "Description: bEnableDodging", "Enables/disables the dodging ability completely."},
    {"bLandingShake", "Description: bLandingShake",
     "When landing from a jump or a higher area, your view gets shaked. Here you can enable/disable it."},
    {"bFirstPersonWeaponsSelfShadow", "Description: bFirstPersonWeaponSelfShadow",
     "Defines if the playermodel and the weapon should throw shadows to each other."},
    {"bNoConsoleDeathMessages", "Description: bNoConsoleDeathMessages",
     "Enables/disables deathmessages in the chat-rows when someone dies somewhere on the map. In UT2004 it "
     "was enabled by default, here you can enable/disable it."},
    {"bShowDoll", "Description: bShowDoll",
     "Enables/disables the Playershape in the left corner of the HUD which indicates your health and armor."},
    {"bShowAmmo", "Description: bShowAmmo", "Enables/disables the ammo display in your HUD."},
    {"bShowPowerups", "Description: bShowPowerups",
     "Enables/disables the icons which are positioned on the human-shape-icon."},
    {"bShowDamage", "Description: bShowDamage",
     "Enables/disables the effect which creates this red flashing/distortion in the screen edges when you "
     "take damage"},
};

static_assert(std::size(kDescriptions) == 73);

} // namespace

std::span<const Description> descriptions() {
    return kDescriptions;
}

const Description* findDescription(std::string_view control) {
    const auto it = std::find_if(std::begin(kDescriptions), std::end(kDescriptions),
                                 [control](const Description& entry) { return entry.control == control; });
    return it == std::end(kDescriptions) ? nullptr : &*it;
}
