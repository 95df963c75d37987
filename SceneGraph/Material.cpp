#include "SceneGraph/Material.h"

namespace sg {

namespace {

// D3DBLEND values
const int32_t kZero = 1;
const int32_t kOne = 2;
const int32_t kSrcColor = 3;
const int32_t kSrcAlpha = 5;
const int32_t kInvSrcAlpha = 6;
const int32_t kDestColor = 9;

const int32_t kAlwaysFunction = 8;

int32_t g_materialCounter = 0;

float Clamp01(float v) {
    if (v < 0.0f) return 0.0f;
    if (v > 1.0f) return 1.0f;
    return v;
}

}  // namespace

Material::Material() : color_(255, 255, 255, 255), id_(NextId()) { SetDefaults(); }

int32_t Material::NextId() { return ++g_materialCounter; }

void Material::SetDefaults() {
    SetBlendMode(0);
    alpha_function_ = kAlwaysFunction;
    alpha_function2_ = kAlwaysFunction;
    alpha_reference_ = 0.0f;
    opacity_ = 1.0f;
    reflectance_ = 1.0f;
    flags_ = kFlagDepthTest | kFlagDepthWrite;
    color_ = Color(255, 255, 255, 255);
}

void Material::SetBlendMode(int32_t mode) {
    static const int32_t kFactors[6][2] = {
        {kOne, kZero},           {kOne, kOne}, {kSrcAlpha, kOne}, {kSrcAlpha, kInvSrcAlpha}, {kDestColor, kZero},
        {kDestColor, kSrcColor},
    };
    if (mode < 0 || mode > 5) mode = 0;
    blend_mode_ = mode;
    source_blend_ = kFactors[mode][0];
    destination_blend_ = kFactors[mode][1];
}

void Material::SetAlphaFunction(int32_t function) {
    alpha_function_ = function;
    alpha_function2_ = function;
}

void Material::SetAlphaReference(float reference) { alpha_reference_ = Clamp01(reference); }

void Material::SetOpacity(float opacity) { opacity_ = Clamp01(opacity); }

void Material::SetReflectance(float reflectance) { reflectance_ = Clamp01(reflectance); }

}  // namespace sg
