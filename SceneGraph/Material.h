#pragma once
// Colour, blend and depth state that a model node hands to the model draw.
#include <cstdint>

#include "Maths/Color.h"

namespace sg {

class Material {
public:
    enum Flags : int32_t {
        kFlagBlending = 0x1,
        kFlagAlphaTest = 0x2,
        kFlagSelected = 0x4,
        kFlagDepthTest = 0x8,
        kFlagDepthWrite = 0x10,
    };

    // Colour white, the next id, then the defaults.
    Material();

    // One process-wide counter: the first material gets 1.
    static int32_t NextId();

    void SetDefaults();
    // Modes 0 to 5 pick the two blend factors; any other mode is stored as 0.
    void SetBlendMode(int32_t mode);
    void SetBlending(bool on) { SetFlag(kFlagBlending, on); }
    void SetAlphaTest(bool on) { SetFlag(kFlagAlphaTest, on); }
    void SetSelected(bool on) { SetFlag(kFlagSelected, on); }
    void SetDepthWrite(bool on) { SetFlag(kFlagDepthWrite, on); }
    void SetAlphaFunction(int32_t function);
    // Held to 0..1.
    void SetAlphaReference(float reference);
    void SetOpacity(float opacity);
    void SetReflectance(float reflectance);
    void SetColor(const Color& color) { color_ = color; }

    const Color& GetColor() const { return color_; }
    int32_t GetBlendMode() const { return blend_mode_; }
    int32_t GetAlphaFunction() const { return alpha_function_; }
    int32_t GetAlphaFunction2() const { return alpha_function2_; }
    float GetAlphaReference() const { return alpha_reference_; }
    int32_t GetFlags() const { return flags_; }
    bool IsBlending() const { return (flags_ & kFlagBlending) != 0; }
    bool IsSelected() const { return (flags_ & kFlagSelected) != 0; }
    float GetOpacity() const { return opacity_; }
    float GetReflectance() const { return reflectance_; }
    int32_t GetId() const { return id_; }
    int32_t GetSourceBlend() const { return source_blend_; }
    int32_t GetDestinationBlend() const { return destination_blend_; }

private:
    void SetFlag(int32_t flag, bool on) { flags_ = on ? (flags_ | flag) : (flags_ & ~flag); }

    Color color_;
    int32_t blend_mode_ = 0;
    int32_t alpha_function_ = 8;
    int32_t alpha_function2_ = 8;
    float alpha_reference_ = 0.0f;
    int32_t flags_ = kFlagDepthTest | kFlagDepthWrite;
    float opacity_ = 1.0f;
    float reflectance_ = 1.0f;
    int32_t id_;
    int32_t source_blend_ = 2;
    int32_t destination_blend_ = 1;
};

}  // namespace sg
