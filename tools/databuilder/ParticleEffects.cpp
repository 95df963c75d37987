// The sample particle effects, designed here and written with the effect-file writer
// into config.xml's "particles" folder. Sizes are world units: a unit stands about 24
// tall, a level cell is 15 wide, z is up and the effect's origin is its host's place
// (a unit's feet, a slot's centre, a scenery object's position).
//
// Together the designs use every render kind but the beam (nothing sets the point a
// beam aims at), both blendings, world, effect and emitter space, the four emission
// shapes, an atlas sheet and a texture list, child emitters, emitted lights and object
// particles. Each is held to its record in tools/catalogue/ParticleEffects.h: the
// writer measures what the design can reach (the file's box), when a one-shot has
// ended and how many particles it holds at most, and stops when a record is wrong.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "tools/catalogue/Config.h"
#include "tools/catalogue/ParticleEffects.h"
#include "tools/catalogue/Textures.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/ParticleDesign.h"
#include "tools/prt/PrtWriter.h"

namespace {

namespace cfg = catalogue::config;
namespace fx = catalogue::particles;
namespace gd = catalogue::gamedata;
namespace tex = catalogue::textures;
using namespace particledesign;

using E = CEmiterParams;
using P = CParticleParams;

constexpr float kTurn = 6.2831853f;

// Render kinds.
constexpr int32_t kObject = 0, kSprite = 1, kFreeQuad = 2, kFlatQuad = 3, kHidden = 4, kChain = 5, kLine = 7,
                  kAligned = 8;
// Spaces of a particle block.
constexpr int32_t kEmitterSpace = 0, kWorldSpace = 1, kEffectSpace = 2;

// ---- emitters ----

void Rate(E& e, float perStep) {
    Curve(e.Tracks[E::EmitRate], e.DurationFrames, [=](float) { return perStep; });
}
// `count` at once at the start of each play.
void Burst(E& e, float count) { Pair(e, E::EmitRate, count); }
// One unit at each of the given frames of a play.
void RateAt(E& e, std::initializer_list<int> frames) {
    Curve(e.Tracks[E::EmitRate], e.DurationFrames, [](float) { return 0.0f; });
    for (int f : frames) e.Tracks[E::EmitRate].m_arrKeys[static_cast<uint32_t>(f)] = 1.0f;
}
void Rectangle(E& e, float x, float y) {
    e.EmitShape = E::kShapeRectangle;
    Pair(e, E::ShapeSizeX, x);
    Pair(e, E::ShapeSizeY, y);
}
// A ball of the radius, every direction, offsets unscaled.
void Sphere(E& e, float radius) {
    e.EmitShape = E::kShapeSphere;
    e.SphereRadius = radius;
    e.ChannelMask |= 8;
    Pair(e, E::AzimuthTo, 256.0f);
    Pair(e, E::ElevationFrom, -64.0f);
    Pair(e, E::ElevationTo, 64.0f);
}
void Box(E& e, float x, float y, float z, int32_t faces) {
    e.EmitShape = E::kShapeBox;
    e.BoxFaceMask = faces;
    Pair(e, E::ShapeSizeX, x);
    Pair(e, E::ShapeSizeY, y);
    Pair(e, E::ShapeSizeZ, z);
}
void Height(E& e, float z) { Pair(e, E::OffsetZ, z); }
void Loop(CParticleEmiterParams& entry) { entry.RepeatMode = 2; }
// A light of the range and colour while the emitter runs; the intensity flickers
// between `low` and 1 over a play (first and last key equal).
void Light(E& e, float range, float r, float g, float b, float low) {
    e.EmitsLight = 1;
    Pair(e, E::LightRange, range);
    Pair(e, E::LightRed, r);
    Pair(e, E::LightGreen, g);
    Pair(e, E::LightBlue, b);
    Curve(e.Tracks[E::LightIntensity], e.DurationFrames,
          [=](float u) { return low + (1.0f - low) * (0.5f + 0.5f * std::cos(u * 3.0f * kTurn)); });
}

// ---- particles ----

void Texture(P& p, const char* name) { p.TextureNames = {CSString(name)}; }
void Size(P& p, float width, float height) {
    p.Width = width;
    p.Height = height;
}
void SetColour(P& p, float r, float g, float b) {
    Pair(p, P::Red, r);
    Pair(p, P::Green, g);
    Pair(p, P::Blue, b);
}
void AlphaKeys(P& p, std::initializer_list<float> keys) { Keys(p.Tracks[P::Alpha], keys); }
void GrowKeys(P& p, std::initializer_list<float> keys) {
    Keys(p.Tracks[P::SizeX], keys);
    Keys(p.Tracks[P::SizeY], keys);
}
void Speed(P& p, float unitsPerSecond) { p.StartSpeed = unitsPerSecond; }
void Additive(P& p) { p.AlphaBlended = 0; }
void Blended(P& p) { p.AlphaBlended = 1; }
// The flame sheet's eight cells over the life, or timed at `fps`.
void Flames(P& p, float fps) {
    Texture(p, tex::kFlameSheet);
    p.WholeTexture = 0;
    p.SheetColumns = tex::kFlameColumns;
    p.AtlasRows = tex::kFlameRows;
    p.FirstFrame = 0;
    p.LastFrame = tex::kFlameColumns * tex::kFlameRows - 1;
    if (fps > 0.0f) {
        p.AnimMode = 1;
        p.AnimFps = fps;
        p.RandomStartFrame = 1;
    }
}
// A glow sprite of the colour, fading out over its life.
P& Glow(Effect& fx, const char* name, float life, float size, float r, float g, float b) {
    P& p = fx.Particles(name, life, kSprite);
    Texture(p, tex::kParticleSprite);
    Size(p, size, size);
    SetColour(p, r, g, b);
    AlphaKeys(p, {1.0f, 1.0f, 0.0f});
    Additive(p);
    return p;
}

// ---- the effects ----

void Spawn(Effect& fx) {
    fx.Mesh().m_EffectParams.Rescalable = 1;
    E& column = fx.Emitter("column", 0.5f);
    Rectangle(column, 8.0f, 8.0f);
    Rate(column, 2.0f);
    Pair(column, E::SpeedScale, 1.0f, 0.4f);
    P& spark = Glow(fx, "spark", 0.7f, 3.0f, 1.0f, 0.85f, 0.4f);
    Speed(spark, 36.0f);
    spark.Jitter = 6.0f;
    GrowKeys(spark, {1.0f, 0.6f});
    fx.Entry("column", fx.LastEmitter(), fx.LastParticles());

    E& flash = fx.Emitter("flash", 0.1f);
    Burst(flash, 1.0f);
    P& ring = fx.Particles("ground ring", 0.6f, kFlatQuad);
    Texture(ring, "Textures/particles/ring.dds");
    Size(ring, 10.0f, 10.0f);
    ring.FlatHeight = 0.2f;
    GrowKeys(ring, {0.4f, 3.0f});
    SetColour(ring, 1.0f, 0.85f, 0.4f);
    AlphaKeys(ring, {1.0f, 0.0f});
    Additive(ring);
    fx.Entry("flash", fx.LastEmitter(), fx.LastParticles());
}

// A sprite flat on the ground that never goes out: two a play, each fading in and out
// over a life as long as the play, so that together they hold about `alpha`. Added to
// the ground it glows; blended, it covers it.
void GroundSprite(Effect& fx, const char* name, const char* sprite, float diameter, float r, float g, float b,
                  float alpha, bool additive = false) {
    E& e = fx.Emitter(name, 1.0f);
    RateAt(e, {0, 15});
    P& flat = fx.Particles(name, 1.0f, kFlatQuad);
    Texture(flat, sprite);
    Size(flat, diameter, diameter);
    flat.FlatHeight = 0.3f;
    SetColour(flat, r, g, b);
    AlphaKeys(flat, {0.0f, alpha, alpha, 0.0f});
    if (additive) Additive(flat);
    else Blended(flat);
    Loop(fx.Entry(name, fx.LastEmitter(), fx.LastParticles()));
}

void GroundRing(Effect& fx, const char* name, float diameter, float r, float g, float b) {
    GroundSprite(fx, name, tex::kRingSprite, diameter, r, g, b, 0.85f);
}

// Motes rising slowly from a disc round the origin, for as long as the effect runs.
void Motes(Effect& fx, const char* name, float perStep, float r, float g, float b) {
    E& e = fx.Emitter(name, 1.0f);
    Rectangle(e, 10.0f, 10.0f);
    Rate(e, perStep);
    P& p = Glow(fx, name, 1.0f, 1.2f, r, g, b);
    AlphaKeys(p, {0.0f, 1.0f, 0.0f});
    Speed(p, 8.0f);
    Loop(fx.Entry(name, fx.LastEmitter(), fx.LastParticles()));
}

void Selected(Effect& fx) { GroundRing(fx, "ring", 14.0f, 0.4f, 1.0f, 0.5f); }

// A defender slot, seen from across the field on the grass: a pool of light under a
// bright ring drawn twice over for width, an inner golden ring on the boosted slots
// (variant 1), motes while it is the selected slot.
void Marker(Effect& fx, float r, float g, float b, bool boosted, bool selected) {
    const float diameter = selected ? 17.0f : 16.0f;
    GroundSprite(fx, "pool", tex::kParticleSprite, diameter, r, g, b, 0.5f, true);
    GroundSprite(fx, "ring", tex::kRingSprite, diameter, r, g, b, 1.0f, true);
    GroundSprite(fx, "rim", tex::kRingSprite, diameter * 0.92f, r, g, b, 1.0f, true);
    if (boosted) GroundSprite(fx, "inner ring", tex::kRingSprite, 9.0f, 1.0f, 0.8f, 0.3f, 1.0f, true);
    if (selected) Motes(fx, "motes", 0.15f, r, g, b);
}

void Boost(Effect& fx) {
    GroundRing(fx, "ring", 12.0f, 1.0f, 0.3f, 0.15f);
    Motes(fx, "rising glow", 0.2f, 1.0f, 0.45f, 0.1f);
    P& glow = *fx.Mesh().m_arrParticleParams.back();
    Speed(glow, 12.0f);
    Size(glow, 2.5f, 2.5f);
}

void Sell(Effect& fx) {
    // A fountain of gold: thrown up from a small disc, scattered, falling back.
    E& e = fx.Emitter("coins", 0.1f);
    Rectangle(e, 6.0f, 6.0f);
    Height(e, 6.0f);
    Burst(e, 14.0f);
    Pair(e, E::SpeedScale, 1.0f, 0.3f);
    P& p = Glow(fx, "coin", 1.0f, 1.5f, 1.0f, 0.8f, 0.2f);
    Blended(p);
    Speed(p, 30.0f);
    p.Gravity = 60.0f;
    p.Jitter = 12.0f;
    fx.Entry("coins", fx.LastEmitter(), fx.LastParticles());
}

// Crosses rising from a disc round the origin.
P& Crosses(Effect& fx, const char* name, float seconds, float perStep, float size, float speed, float life) {
    E& e = fx.Emitter(name, seconds);
    Rectangle(e, 12.0f, 12.0f);
    Rate(e, perStep);
    P& p = fx.Particles(name, life, kSprite);
    Texture(p, tex::kCrossSprite);
    Size(p, size, size);
    SetColour(p, 0.3f, 1.0f, 0.35f);
    AlphaKeys(p, {0.0f, 1.0f, 1.0f, 0.0f});
    GrowKeys(p, {0.6f, 1.0f, 1.0f});
    Blended(p);
    Speed(p, speed);
    return p;
}

void Healing(Effect& fx) {
    Crosses(fx, "crosses", 0.6f, 0.5f, 3.0f, 15.0f, 1.0f);
    fx.Entry("crosses", fx.LastEmitter(), fx.LastParticles());
}

void HealingAuto(Effect& fx) {
    Crosses(fx, "crosses", 1.0f, 0.1f, 2.0f, 10.0f, 1.2f);
    Loop(fx.Entry("crosses", fx.LastEmitter(), fx.LastParticles()));
}

void Resurrect(Effect& fx) {
    E& e = fx.Emitter("runes", 0.5f);
    Rectangle(e, 10.0f, 10.0f);
    Rate(e, 0.4f);
    P& runes = fx.Particles("runes", 1.0f, kSprite);
    for (const char* rune : tex::kRuneSprites) runes.TextureNames.push_back(CSString(rune));
    runes.AnimMode = 1;
    runes.AnimFps = 8.0f;
    runes.RandomStartFrame = 1;
    Size(runes, 3.0f, 3.0f);
    SetColour(runes, 1.0f, 0.95f, 0.7f);
    AlphaKeys(runes, {0.0f, 1.0f, 0.0f});
    Additive(runes);
    Speed(runes, 20.0f);
    fx.Entry("runes", fx.LastEmitter(), fx.LastParticles());

    E& flash = fx.Emitter("flash", 0.1f);
    Height(flash, 8.0f);
    Burst(flash, 1.0f);
    P& glow = Glow(fx, "flash", 0.8f, 12.0f, 1.0f, 1.0f, 0.8f);
    GrowKeys(glow, {0.5f, 1.5f});
    fx.Entry("flash", fx.LastEmitter(), fx.LastParticles());
}

void Hide(Effect& fx) {
    E& e = fx.Emitter("puff", 0.1f);
    Sphere(e, 3.0f);
    Height(e, 8.0f);
    Burst(e, 10.0f);
    Pair(e, E::SpeedScale, 1.0f, 0.3f);
    P& smoke = fx.Particles("smoke", 0.9f, kSprite);
    Texture(smoke, "textures\\particles\\smoke.dds");
    Size(smoke, 6.0f, 6.0f);
    GrowKeys(smoke, {0.6f, 1.6f});
    SetColour(smoke, 0.55f, 0.55f, 0.6f);
    AlphaKeys(smoke, {0.8f, 0.0f});
    Keys(smoke.Tracks[P::SpeedOverLife], {1.0f, 0.3f, 0.1f});
    Blended(smoke);
    Speed(smoke, 10.0f);
    fx.Entry("puff", fx.LastEmitter(), fx.LastParticles());

    // The unit's cloak: counted like any particle, drawn by none.
    E& cloak = fx.Emitter("cloak", 0.1f);
    Burst(cloak, 4.0f);
    fx.Particles("cloak", 0.5f, kHidden);
    fx.Entry("cloak", fx.LastEmitter(), fx.LastParticles());
}

void Upgrade(Effect& fx) {
    // The emitter climbs a helix of two turns and leaves a golden trail in the
    // effect's frame.
    E& e = fx.Emitter("spiral", 1.0f);
    const int32_t frames = e.DurationFrames;
    Curve(e.Tracks[E::OffsetX], frames, [](float u) { return 8.0f * std::cos(2.0f * kTurn * u); });
    Curve(e.Tracks[E::OffsetY], frames, [](float u) { return 8.0f * std::sin(2.0f * kTurn * u); });
    Curve(e.Tracks[E::OffsetZ], frames, [](float u) { return 2.0f + 26.0f * u; });
    Rate(e, 1.0f);
    P& trail = fx.Particles("trail", 0.3f, kChain);
    trail.ParticleSpace = kEffectSpace;
    trail.ChainMode = 0;
    trail.StripWidth = 2.0f;
    trail.ChainVStep = 1.0f;
    Texture(trail, tex::kStreakSprite);
    SetColour(trail, 1.0f, 0.8f, 0.3f);
    AlphaKeys(trail, {1.0f, 0.0f});
    Additive(trail);
    fx.Entry("spiral", fx.LastEmitter(), fx.LastParticles());

    E& star = fx.Emitter("star", 0.1f);
    Sphere(star, 1.0f);
    Height(star, 28.0f);
    Burst(star, 12.0f);
    P& burst = Glow(fx, "star", 0.5f, 1.5f, 1.0f, 0.9f, 0.4f);
    Speed(burst, 25.0f);
    fx.Entry("star", fx.LastEmitter(), fx.LastParticles()).Delay = 0.9f;
}

void Teleport(Effect& fx) {
    E& e = fx.Emitter("rings", 0.5f);
    RateAt(e, {0, 4, 8, 12});
    P& ring = fx.Particles("ring", 0.8f, kFreeQuad);
    Texture(ring, tex::kRingSprite);
    Size(ring, 12.0f, 12.0f);
    GrowKeys(ring, {1.2f, 0.5f});
    SetColour(ring, 0.4f, 0.9f, 1.0f);
    AlphaKeys(ring, {0.0f, 1.0f, 0.0f});
    Additive(ring);
    Speed(ring, 30.0f);
    fx.Entry("rings", fx.LastEmitter(), fx.LastParticles());

    E& sparkles = fx.Emitter("sparkles", 0.5f);
    Rectangle(sparkles, 10.0f, 10.0f);
    Rate(sparkles, 1.0f);
    Pair(sparkles, E::SpeedScale, 1.0f, 0.3f);
    P& sparkle = Glow(fx, "sparkle", 0.6f, 1.2f, 0.4f, 0.9f, 1.0f);
    Speed(sparkle, 25.0f);
    fx.Entry("sparkles", fx.LastEmitter(), fx.LastParticles());
}

void HitBlood(Effect& fx) {
    E& e = fx.Emitter("drops", 0.1f);
    Sphere(e, 1.0f);
    Height(e, 12.0f);
    Burst(e, 8.0f);
    Pair(e, E::SpeedScale, 1.0f, 0.4f);
    P& drop = Glow(fx, "drop", 0.4f, 1.5f, 0.6f, 0.05f, 0.05f);
    Blended(drop);
    Speed(drop, 12.0f);
    drop.Gravity = 120.0f;
    fx.Entry("drops", fx.LastEmitter(), fx.LastParticles());
}

void HitSpark(Effect& fx) {
    // Streaks flying out along straight lines their rows draw, each drawn along its motion.
    E& e = fx.Emitter("sparks", 0.1f);
    Height(e, 12.0f);
    Burst(e, 8.0f);
    P& streak = fx.Particles("streak", 0.4f, kAligned);
    streak.OwnMatrix = 1;
    streak.IndependentRandomA = 1;
    Keys(streak.Tracks[P::OffsetXVar], {0.0f, 8.0f});
    Keys(streak.Tracks[P::OffsetYVar], {0.0f, 8.0f});
    Keys(streak.Tracks[P::OffsetZ], {0.0f, 4.0f, 2.0f});
    Keys(streak.Tracks[P::OffsetZVar], {0.0f, 3.0f});
    for (int32_t row : {P::OffsetX, P::OffsetY, P::OffsetZ}) Vary(streak, row);
    Texture(streak, tex::kStreakSprite);
    Size(streak, 0.6f, 3.0f);
    SetColour(streak, 1.0f, 0.8f, 0.4f);
    AlphaKeys(streak, {1.0f, 0.0f});
    Additive(streak);
    fx.Entry("sparks", fx.LastEmitter(), fx.LastParticles());

    // A white flash with the library's default texture (no texture names).
    E& flash = fx.Emitter("flash", 0.1f);
    Height(flash, 12.0f);
    Burst(flash, 1.0f);
    P& glow = fx.Particles("flash", 0.2f, kSprite);
    Size(glow, 6.0f, 6.0f);
    GrowKeys(glow, {0.5f, 1.5f});
    AlphaKeys(glow, {1.0f, 0.0f});
    Additive(glow);
    fx.Entry("flash", fx.LastEmitter(), fx.LastParticles());
}

void HitFire(Effect& fx) {
    E& e = fx.Emitter("burst", 0.1f);
    Sphere(e, 1.5f);
    Height(e, 10.0f);
    Burst(e, 6.0f);
    P& flame = fx.Particles("flame", 0.6f, kSprite);
    Flames(flame, 0.0f);
    Size(flame, 5.0f, 5.0f);
    GrowKeys(flame, {0.8f, 1.4f});
    AlphaKeys(flame, {1.0f, 0.8f, 0.0f});
    Additive(flame);
    Speed(flame, 8.0f);
    fx.Entry("burst", fx.LastEmitter(), fx.LastParticles());

    E& embers = fx.Emitter("embers", 0.1f);
    Sphere(embers, 1.0f);
    Height(embers, 10.0f);
    Burst(embers, 6.0f);
    P& ember = Glow(fx, "ember", 0.5f, 0.8f, 1.0f, 0.5f, 0.1f);
    Speed(ember, 20.0f);
    ember.Gravity = -30.0f;
    fx.Entry("embers", fx.LastEmitter(), fx.LastParticles());
}

void HitHeal(Effect& fx) {
    E& e = fx.Emitter("sparkles", 0.1f);
    Sphere(e, 2.0f);
    Height(e, 12.0f);
    Burst(e, 6.0f);
    P& sparkle = Glow(fx, "sparkle", 0.6f, 1.2f, 0.4f, 1.0f, 0.4f);
    Speed(sparkle, 10.0f);
    fx.Entry("sparkles", fx.LastEmitter(), fx.LastParticles());

    E& cross = fx.Emitter("cross", 0.1f);
    Height(cross, 14.0f);
    Burst(cross, 1.0f);
    P& p = fx.Particles("cross", 0.7f, kSprite);
    Texture(p, tex::kCrossSprite);
    Size(p, 4.0f, 4.0f);
    SetColour(p, 0.3f, 1.0f, 0.35f);
    AlphaKeys(p, {1.0f, 1.0f, 0.0f});
    Blended(p);
    Speed(p, 15.0f);
    fx.Entry("cross", fx.LastEmitter(), fx.LastParticles());
}

void HitDark(Effect& fx) {
    // Dark smoke drawn in from a ball round the target, turning as it goes.
    E& e = fx.Emitter("swirl", 0.1f);
    Sphere(e, 4.0f);
    Height(e, 12.0f);
    Burst(e, 10.0f);
    P& smoke = fx.Particles("smoke", 0.5f, kSprite);
    Texture(smoke, tex::kSmokeSprite);
    Size(smoke, 3.0f, 3.0f);
    SetColour(smoke, 0.5f, 0.15f, 0.7f);
    AlphaKeys(smoke, {0.0f, 0.9f, 0.0f});
    Keys(smoke.Tracks[P::RotationX], {0.0f, 64.0f});
    Blended(smoke);
    Speed(smoke, -15.0f);
    fx.Entry("swirl", fx.LastEmitter(), fx.LastParticles());
}

// A small effect at the caster's hands.
E& Hands(Effect& fx, const char* name, float seconds) {
    E& e = fx.Emitter(name, seconds);
    Height(e, 16.0f);
    return e;
}

void CastFire(Effect& fx) {
    E& e = Hands(fx, "flames", 0.3f);
    Rate(e, 1.0f);
    P& flame = fx.Particles("flame", 0.4f, kSprite);
    Flames(flame, 16.0f);
    Size(flame, 2.5f, 2.5f);
    AlphaKeys(flame, {1.0f, 0.0f});
    Additive(flame);
    Speed(flame, 10.0f);
    fx.Entry("flames", fx.LastEmitter(), fx.LastParticles());
}

void CastHeal(Effect& fx) {
    E& e = Hands(fx, "glow", 0.3f);
    Rectangle(e, 4.0f, 4.0f);
    Rate(e, 0.6f);
    P& glow = Glow(fx, "glow", 0.5f, 1.5f, 0.4f, 1.0f, 0.5f);
    Speed(glow, 6.0f);
    fx.Entry("glow", fx.LastEmitter(), fx.LastParticles());
}

void CastDark(Effect& fx) {
    // The emitter circles the hands; its particles stay where they were born.
    E& e = Hands(fx, "circle", 0.4f);
    const int32_t frames = e.DurationFrames;
    Curve(e.Tracks[E::OffsetX], frames, [](float u) { return 3.0f * std::cos(kTurn * u); });
    Curve(e.Tracks[E::OffsetY], frames, [](float u) { return 3.0f * std::sin(kTurn * u); });
    Rate(e, 1.0f);
    P& glow = Glow(fx, "glow", 0.4f, 1.5f, 0.6f, 0.2f, 0.9f);
    glow.ParticleSpace = kEffectSpace;
    fx.Entry("circle", fx.LastEmitter(), fx.LastParticles());
}

void Slowed(Effect& fx) {
    E& e = fx.Emitter("flakes", 1.0f);
    Rectangle(e, 12.0f, 12.0f);
    Height(e, 26.0f);
    Rate(e, 0.15f);
    Pair(e, E::SpeedScale, 1.0f, 0.3f);
    P& flake = Glow(fx, "flake", 1.6f, 1.0f, 0.7f, 0.85f, 1.0f);
    AlphaKeys(flake, {0.0f, 1.0f, 1.0f, 0.0f});
    Blended(flake);
    Speed(flake, -12.0f);
    flake.Jitter = 4.0f;
    Loop(fx.Entry("flakes", fx.LastEmitter(), fx.LastParticles()));
}

void SpellSlowdown(Effect& fx) {
    // Snow falling from the underside of a flat box above the area.
    E& snow = fx.Emitter("snow", 0.8f);
    Box(snow, 30.0f, 30.0f, 2.0f, 1 << 1);
    Height(snow, 30.0f);
    Rate(snow, 1.0f);
    Pair(snow, E::SpeedScale, 1.0f, 0.2f);
    P& flake = Glow(fx, "flake", 0.7f, 1.5f, 0.8f, 0.9f, 1.0f);
    Speed(flake, 45.0f);
    fx.Entry("snow", fx.LastEmitter(), fx.LastParticles());

    E& frost = fx.Emitter("frost", 0.1f);
    Burst(frost, 1.0f);
    P& ring = fx.Particles("frost", 1.0f, kFlatQuad);
    Texture(ring, tex::kRingSprite);
    Size(ring, 10.0f, 10.0f);
    ring.FlatHeight = 0.2f;
    GrowKeys(ring, {0.3f, 3.0f});
    SetColour(ring, 0.6f, 0.85f, 1.0f);
    AlphaKeys(ring, {1.0f, 0.8f, 0.0f});
    Blended(ring);
    fx.Entry("frost", fx.LastEmitter(), fx.LastParticles());
}

void SpellFirestorm(Effect& fx) {
    // Impacts fall all over the area: each batch is a burst of flames and a few rocks
    // thrown up, and the storm lights the ground while it lasts.
    E& storm = fx.Emitter("storm", 1.0f);
    Rectangle(storm, 28.0f, 28.0f);
    Rate(storm, 0.3f);
    Light(storm, 60.0f, 1.0f, 0.5f, 0.15f, 0.7f);
    storm.LightName = "firestorm";
    fx.Spawner("storm", fx.LastEmitter(), {"impact", "rubble"});

    E& impact = fx.Emitter("impact", 0.1f);
    Burst(impact, 6.0f);
    Pair(impact, E::SpeedScale, 1.0f, 0.3f);
    P& flame = fx.Particles("flame", 0.6f, kSprite);
    Flames(flame, 0.0f);
    Size(flame, 4.0f, 4.0f);
    GrowKeys(flame, {1.0f, 1.8f});
    AlphaKeys(flame, {1.0f, 1.0f, 0.0f});
    Additive(flame);
    Speed(flame, 20.0f);
    flame.Jitter = 10.0f;
    fx.Child("impact", fx.LastEmitter(), fx.LastParticles());

    // Rocks thrown out in arcs their rows draw, tumbling.
    E& rubble = fx.Emitter("rubble", 0.1f);
    Burst(rubble, 2.0f);
    P& rock = fx.Particles("rock", 0.6f, kObject);
    rock.ModelName = "rock.pod?Object";
    rock.OwnMatrix = 1;
    rock.IndependentRandomA = 1;
    rock.IndependentRandomB = 1;
    Keys(rock.Tracks[P::OffsetXVar], {0.0f, 10.0f});
    Keys(rock.Tracks[P::OffsetYVar], {0.0f, 10.0f});
    Keys(rock.Tracks[P::OffsetZ], {0.0f, 6.0f, 8.0f, 6.0f, 0.0f});
    Keys(rock.Tracks[P::RotationXVar], {0.0f, 256.0f});
    Keys(rock.Tracks[P::RotationYVar], {0.0f, 256.0f});
    for (int32_t row : {P::OffsetX, P::OffsetY, P::RotationX, P::RotationY}) Vary(rock, row);
    for (int32_t row : {P::SizeX, P::SizeY, P::SizeZ}) Pair(rock, row, 0.3f);
    fx.Child("rubble", fx.LastEmitter(), fx.LastParticles());
}

void SpellLightning(Effect& fx) {
    // The bolt: the emitter jumps down from the sky in a zigzag, leaving a vertical
    // line in the effect's frame at each step.
    E& bolt = fx.Emitter("bolt", 0.2f);
    const int32_t frames = bolt.DurationFrames;
    Curve(bolt.Tracks[E::OffsetZ], frames, [=](float u) { return 60.0f - 60.0f * u; });
    Curve(bolt.Tracks[E::OffsetX], frames, [=](float u) { return std::lround(u * frames) % 2 == 0 ? -3.0f : 3.0f; });
    Curve(bolt.Tracks[E::OffsetY], frames, [=](float u) { return std::lround(u * frames) % 3 == 0 ? 2.0f : -2.0f; });
    Rate(bolt, 1.0f);
    P& segment = fx.Particles("segment", 0.3f, kLine);
    segment.ParticleSpace = kEffectSpace;
    segment.OwnMatrix = 1;
    Pair(segment, P::RotationY, 64.0f);         // upright
    Pair(segment, P::RotationX, 0.0f, 128.0f);  // facing any way
    Texture(segment, tex::kStreakSprite);
    Size(segment, 1.5f, 12.0f);
    SetColour(segment, 0.8f, 0.9f, 1.0f);
    AlphaKeys(segment, {1.0f, 1.0f, 0.0f});
    Additive(segment);
    fx.Entry("bolt", fx.LastEmitter(), fx.LastParticles());

    E& flash = fx.Emitter("flash", 0.1f);
    Burst(flash, 1.0f);
    Glow(fx, "flash", 0.3f, 16.0f, 0.8f, 0.9f, 1.0f);
    fx.Entry("flash", fx.LastEmitter(), fx.LastParticles()).Delay = 0.15f;

    E& sparks = fx.Emitter("sparks", 0.1f);
    Sphere(sparks, 1.0f);
    Burst(sparks, 10.0f);
    P& spark = Glow(fx, "spark", 0.5f, 0.8f, 0.8f, 0.9f, 1.0f);
    Speed(spark, 20.0f);
    spark.Gravity = 90.0f;
    fx.Entry("sparks", fx.LastEmitter(), fx.LastParticles()).Delay = 0.15f;
}

// Tongues of fire rising from a square, flickering through the flame sheet, and
// lighting their surroundings.
E& Fire(Effect& fx, const char* name, float width, float perStep, float life, float size, float speed) {
    E& e = fx.Emitter(name, 1.0f);
    if (width > 0.0f) Rectangle(e, width, width);
    Rate(e, perStep);
    P& flame = fx.Particles(name, life, kSprite);
    Flames(flame, 12.0f);
    Size(flame, size, size);
    GrowKeys(flame, {1.0f, 0.45f});
    AlphaKeys(flame, {0.0f, 1.0f, 0.0f});
    Additive(flame);
    Speed(flame, speed);
    Loop(fx.Entry(name, fx.LastEmitter(), fx.LastParticles()));
    return e;
}

// Sparks thrown up from a fire, drifting.
P& Embers(Effect& fx, const char* name, float perStep, float speed, float jitter) {
    E& e = fx.Emitter(name, 1.0f);
    Rate(e, perStep);
    Pair(e, E::SpeedScale, 1.0f, 0.4f);
    P& ember = Glow(fx, name, 0.8f, 0.5f, 1.0f, 0.6f, 0.2f);
    Speed(ember, speed);
    ember.Jitter = jitter;
    Loop(fx.Entry(name, fx.LastEmitter(), fx.LastParticles()));
    return ember;
}

void Torch(Effect& fx) {
    E& flame = Fire(fx, "flame", 0.0f, 0.5f, 0.5f, 3.5f, 6.0f);
    Light(flame, 30.0f, 1.0f, 0.6f, 0.25f, 0.8f);
    // The light settings of the old file format: its flag and one value.
    flame.LightFlags = CEmiterParams::kOldLightFlag;
    const float oldLight[CEmiterParams::kLightValueCount] = {0.8f, 1.0f, 45.0f, 0.0f, 200.0f, 100.0f};
    std::copy(oldLight, oldLight + CEmiterParams::kLightValueCount, flame.LightValues);
    Embers(fx, "embers", 0.08f, 15.0f, 8.0f);
}

void Campfire(Effect& fx) {
    E& fire = Fire(fx, "fire", 4.0f, 0.7f, 0.6f, 5.0f, 8.0f);
    Light(fire, 45.0f, 1.0f, 0.55f, 0.2f, 0.75f);
    fire.LightName = "campfire";

    // Smoke in world space: it rises and drifts where it was born.
    E& smoke = fx.Emitter("smoke", 1.0f);
    Rectangle(smoke, 3.0f, 3.0f);
    Height(smoke, 5.0f);
    Rate(smoke, 0.12f);
    P& puff = fx.Particles("smoke", 3.0f, kSprite);
    puff.ParticleSpace = kWorldSpace;
    Texture(puff, "textures\\particles\\smoke.dds");
    Size(puff, 6.0f, 6.0f);
    GrowKeys(puff, {0.6f, 2.0f});
    SetColour(puff, 0.4f, 0.4f, 0.42f);
    AlphaKeys(puff, {0.0f, 0.5f, 0.0f});
    Blended(puff);
    Speed(puff, 10.0f);
    puff.ExtraVelocityX = 4.0f;
    Loop(fx.Entry("smoke", fx.LastEmitter(), fx.LastParticles()));

    Embers(fx, "sparks", 0.1f, 25.0f, 10.0f).Gravity = 20.0f;
}

void Mist(Effect& fx) {
    E& e = fx.Emitter("banks", 1.0f);
    Rectangle(e, 50.0f, 36.0f);
    Rate(e, 0.06f);
    P& bank = fx.Particles("bank", 4.0f, kSprite);
    Texture(bank, tex::kSmokeSprite);
    Size(bank, 18.0f, 18.0f);
    GrowKeys(bank, {0.8f, 1.3f});
    SetColour(bank, 0.75f, 0.8f, 0.85f);
    AlphaKeys(bank, {0.0f, 0.35f, 0.35f, 0.0f});
    Blended(bank);
    Speed(bank, 1.5f);
    bank.ExtraVelocityX = 3.0f;
    Loop(fx.Entry("banks", fx.LastEmitter(), fx.LastParticles()));
}

struct Design {
    const char* file;
    const char* name;  // the name the effect gives itself
    void (*make)(Effect&);
};

const Design kDesigns[] = {
    {fx::kSpawn, "spawn", &Spawn},
    {fx::kSelected, "selected", &Selected},
    {fx::kBoost, "boost", &Boost},
    {fx::kSell, "sell", &Sell},
    {fx::kHealing, "healing", &Healing},
    {fx::kHealingAuto, "healingauto", &HealingAuto},
    {fx::kResurrect, "resurrect", &Resurrect},
    {fx::kHide, "hide", &Hide},
    {fx::kUpgrade, "upgrade", &Upgrade},
    {fx::kTeleport, "teleprt", &Teleport},
    {fx::kSelection1, "selection_1", [](Effect& fx) { Marker(fx, 0.5f, 0.8f, 1.0f, false, false); }},
    {fx::kSelection2, "selection_2", [](Effect& fx) { Marker(fx, 0.7f, 0.95f, 1.0f, false, true); }},
    {fx::kSelection1Target, "selection_1_t", [](Effect& fx) { Marker(fx, 1.0f, 0.6f, 0.2f, false, false); }},
    {fx::kSelection3, "selection_3", [](Effect& fx) { Marker(fx, 0.5f, 0.8f, 1.0f, true, false); }},
    {fx::kSelection4, "selection_4", [](Effect& fx) { Marker(fx, 0.7f, 0.95f, 1.0f, true, true); }},
    {fx::kSelection3Target, "selection_3_t", [](Effect& fx) { Marker(fx, 1.0f, 0.6f, 0.2f, true, false); }},
    {gd::kHitBlood, "hit_blood", &HitBlood},
    {gd::kHitSpark, "hit_spark", &HitSpark},
    {gd::kHitFire, "hit_fire", &HitFire},
    {gd::kHitHeal, "hit_heal", &HitHeal},
    {gd::kHitDark, "hit_dark", &HitDark},
    {gd::kCastFire, "cast_fire", &CastFire},
    {gd::kCastHeal, "cast_heal", &CastHeal},
    {gd::kCastDark, "cast_dark", &CastDark},
    {gd::kSlowed, "slowed", &Slowed},
    {gd::kSpellSlowdown, "spell_slowdown", &SpellSlowdown},
    {gd::kSpellFirestorm, "spell_firestorm", &SpellFirestorm},
    {gd::kSpellLightning, "spell_lightning", &SpellLightning},
    {gd::kTorch, "torch", &Torch},
    {gd::kCampfire, "campfire", &Campfire},
    {gd::kMist, "mist", &Mist},
};

[[noreturn]] void Stop(const char* effect, const std::string& why) {
    std::fprintf(stderr, "databuilder: particle effect %s: %s\n", effect, why.c_str());
    std::exit(1);
}

}  // namespace

DATABUILDER_WRITER(particle_effects, 40) {
    static_assert(std::size(kDesigns) == std::size(fx::kEffects), "a design per catalogued effect");
    for (const Design& design : kDesigns) {
        const fx::Effect* record = fx::Find(design.file);
        if (record == nullptr) Stop(design.file, "no record in the catalogue");
        Effect made(design.name);
        design.make(made);
        CParticlesMesh& effect = made.Mesh();
        Figures figures;
        std::string why;
        if (!Measure(effect, figures, why)) Stop(design.file, why);
        const bool looping = record->run == fx::Run::Looping;
        char line[160];
        std::snprintf(line, sizeof line, "%s, %.2f s, peak %d", figures.looping ? "looping" : "one-shot",
                      figures.endSteps / 30.0, figures.peak);
        if (figures.looping != looping) Stop(design.file, std::string("designed ") + line + ", recorded otherwise");
        if (!looping && figures.endSteps > record->end * 30.0f)
            Stop(design.file, std::string("designed ") + line + ", recorded to end sooner");
        if (figures.peak > record->peak) Stop(design.file, std::string("designed ") + line + ", recorded fewer");
        effect.m_vBoxMin = CSVector4(figures.box.lo[0], figures.box.lo[1], figures.box.lo[2], 0.0f);
        effect.m_vBoxMax = CSVector4(figures.box.hi[0], figures.box.hi[1], figures.box.hi[2], 0.0f);
        out.Write(cfg::kParticles.Path() + design.file,
                  PrtWriter(PrtWriter::VersionWord(record->version)).Write(effect));
    }
}
