#pragma once
// The effect files of the sample data: where the game opens them and their
// text (the sources live in tools/databuilder/shaders/).
namespace catalogue {
namespace effects {

inline constexpr const char kUberGraphicsDevicePath[] = "res-pc/Shaders/UberGraphicsDevice.fxo";
inline constexpr const char kLightPrepassPath[] = "res-pc/Shaders/LightPrepass.fxo";
inline constexpr const char kShadowMappingPath[] = "res-pc/Shaders/ShadowMapping.fxo";
inline constexpr const char kPostProcessPath[] = "res-pc/Shaders/PostProcess.fxo";

inline constexpr const char kUberGraphicsDevice[] =
#include "tools/databuilder/shaders/UberGraphicsDevice.fx.inc"
    ;
inline constexpr const char kLightPrepass[] =
#include "tools/databuilder/shaders/LightPrepass.fx.inc"
    ;
inline constexpr const char kShadowMapping[] =
#include "tools/databuilder/shaders/ShadowMapping.fx.inc"
    ;
inline constexpr const char kPostProcess[] =
#include "tools/databuilder/shaders/PostProcess.fx.inc"
    ;

struct File {
    const char* path;
    const char* text;
};

inline constexpr File kFiles[] = {
    {kUberGraphicsDevicePath, kUberGraphicsDevice},
    {kLightPrepassPath, kLightPrepass},
    {kShadowMappingPath, kShadowMapping},
    {kPostProcessPath, kPostProcess},
};

}  // namespace effects
}  // namespace catalogue
