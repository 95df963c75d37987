#include "tools/databuilder/ParticleDesign.h"

#include <algorithm>
#include <cmath>

#include "particles/ParticleStepRates.h"

namespace particledesign {

namespace {

// A random multiplier of a variation lies in -1 .. 32767 / 32766.
constexpr double kMaxUnpacked = 32767.0 / 32766.0;
// How far an object particle's model reaches from its placement, at size 1.
constexpr float kObjectRadius = 8.0f;

int32_t LockIndex(int32_t baseRow) {
    for (int32_t i = 0; i < CParticleParams::kLockCount; ++i)
        if (CParticleParams::kNoVariationRows[i] == baseRow) return i;
    return -1;
}

struct Interval {
    double lo = 0.0, hi = 0.0;
    static Interval Of(double a, double b) { return {std::min(a, b), std::max(a, b)}; }
    double Magnitude() const { return std::max(std::fabs(lo), std::fabs(hi)); }
    Interval operator+(const Interval& o) const { return {lo + o.lo, hi + o.hi}; }
    Interval operator*(double k) const { return Of(lo * k, hi * k); }
    Interval operator*(const Interval& o) const {
        const double p[4] = {lo * o.lo, lo * o.hi, hi * o.lo, hi * o.hi};
        return {*std::min_element(p, p + 4), *std::max_element(p, p + 4)};
    }
    Interval Hull(const Interval& o) const { return {std::min(lo, o.lo), std::max(hi, o.hi)}; }
};

// Every value a row takes, over all its keys.
Interval RowRange(const CSParamTrack& track) {
    if (track.IsConstant() || track.m_arrKeys.IsEmpty())
        return Interval::Of(track.IsConstant() ? track.m_fConstant : 0.0, track.IsConstant() ? track.m_fConstant : 0.0);
    Interval range{track.m_arrKeys[0], track.m_arrKeys[0]};
    for (uint32_t i = 1; i < track.m_arrKeys.GetCount(); ++i)
        range = range.Hull(Interval{track.m_arrKeys[i], track.m_arrKeys[i]});
    return range;
}

// base + u x variation for every u a pair can draw.
Interval PairRange(const CSParamTrack* tracks, int32_t baseRow, bool fixed) {
    const Interval base = RowRange(tracks[baseRow]);
    if (fixed) return base;
    const double v = RowRange(tracks[baseRow + 1]).Magnitude() * kMaxUnpacked;
    return {base.lo - v, base.hi + v};
}

Interval EmiterPair(const CEmiterParams& e, int32_t baseRow) {
    return PairRange(e.Tracks, baseRow, e.NoVariation[baseRow / 2] != 0);
}

Interval ParticlePair(const CParticleParams& p, int32_t baseRow) {
    return PairRange(p.Tracks, baseRow, p.NoVariation[LockIndex(baseRow)] != 0);
}

struct Box {
    Interval axis[3];
    Box operator+(const Box& o) const { return {{axis[0] + o.axis[0], axis[1] + o.axis[1], axis[2] + o.axis[2]}}; }
    Box Hull(const Box& o) const {
        return {{axis[0].Hull(o.axis[0]), axis[1].Hull(o.axis[1]), axis[2].Hull(o.axis[2])}};
    }
    // Every turn about z: the disc through the farthest corner.
    Box TurnedAboutZ() const {
        const double x = axis[0].Magnitude(), y = axis[1].Magnitude();
        const double r = std::sqrt(x * x + y * y);
        return {{{-r, r}, {-r, r}, axis[2]}};
    }
    // Every turn: the ball through the farthest corner.
    Box Turned() const {
        double r2 = 0.0;
        for (const Interval& a : axis) r2 += a.Magnitude() * a.Magnitude();
        const double r = std::sqrt(r2);
        return {{{-r, r}, {-r, r}, {-r, r}}};
    }
    static Box Cube(double r) { return {{{-r, r}, {-r, r}, {-r, r}}}; }
};

// When and how long an entry's emitter runs, in steps from its creation.
struct Timeline {
    int32_t start = 0;
    int32_t length = 0;
    int32_t plays = 1;
    int32_t pause = 0;
    bool looping = false;
    // Steps from the first of the first play to the last of the last (an upper bound).
    int32_t Active() const { return plays * (length + 1) + (plays - 1) * (pause + 1); }
};

Timeline TimelineOf(const CParticleEmiterParams& entry, const CEmiterParams& e) {
    Timeline t;
    t.start = SecondsToFrames(entry.Delay);
    t.length = e.DurationFrames;
    t.looping = entry.RepeatMode == 2;
    t.plays = entry.RepeatMode == 1 ? std::max(entry.RepeatCount, 1) : 1;
    t.pause = SecondsToFrames(entry.RepeatPause);
    return t;
}

// The most units the emitter's rate yields in one play step by step.
std::vector<double> PlayRates(const CEmiterParams& e) {
    std::vector<double> rates(static_cast<size_t>(e.DurationFrames) + 1, 0.0);
    const bool fixed = e.NoVariation[CEmiterParams::EmitRate / 2] != 0;
    for (size_t k = 0; k < rates.size(); ++k) {
        double rate = e.GetTrackKey(CEmiterParams::EmitRate, static_cast<int32_t>(k));
        if (!fixed)
            rate += std::fabs(e.GetTrackKey(CEmiterParams::EmitRateVar, static_cast<int32_t>(k))) * kMaxUnpacked;
        rates[k] = std::max(rate, 0.0);
    }
    return rates;
}

// The most units emitted within `window` consecutive steps, plus the one a carried
// fraction may add.
int32_t MostInWindow(const CEmiterParams& e, const Timeline& t, int32_t window) {
    const std::vector<double> play = PlayRates(e);
    std::vector<double> steps;
    const int32_t plays = t.looping ? 2 + window / (t.length + 1 + t.pause + 1) * 2 : t.plays;
    for (int32_t p = 0; p < plays; ++p) {
        if (p > 0) steps.insert(steps.end(), static_cast<size_t>(t.pause + 1), 0.0);
        steps.insert(steps.end(), play.begin(), play.end());
    }
    double most = 0.0;
    for (size_t first = 0; first < steps.size(); ++first) {
        double sum = 0.0;
        for (size_t i = first; i < steps.size() && i < first + static_cast<size_t>(window); ++i) sum += steps[i];
        most = std::max(most, sum);
    }
    return static_cast<int32_t>(std::ceil(most)) + 1;
}

int32_t LongestLife(const CEmiterParams& e, const CParticleParams& p) {
    const Interval scale = EmiterPair(e, CEmiterParams::LifeScale);
    if (scale.lo == 1.0 && scale.hi == 1.0) return p.LifeFrames;
    return std::max(p.LifeFrames, SecondsToFrames(static_cast<float>(p.Life * scale.Magnitude())));
}

bool HasYaw(const CEmiterParams& e) {
    const Interval yaw = EmiterPair(e, CEmiterParams::AngleX);
    return yaw.lo != 0.0 || yaw.hi != 0.0;
}

Box EmitterOffsets(const CEmiterParams& e) {
    return {{EmiterPair(e, CEmiterParams::OffsetX), EmiterPair(e, CEmiterParams::OffsetY),
             EmiterPair(e, CEmiterParams::OffsetZ)}};
}

// Where the emitter's shape puts a particle or a child, before any turn.
bool ShapeReach(const CEmiterParams& e, Box& box, std::string& why) {
    const double x = EmiterPair(e, CEmiterParams::ShapeSizeX).Magnitude() / 2.0;
    const double y = EmiterPair(e, CEmiterParams::ShapeSizeY).Magnitude() / 2.0;
    const Interval z = EmiterPair(e, CEmiterParams::ShapeSizeZ);
    switch (e.EmitShape) {
        case CEmiterParams::kShapeSphere:
            if ((e.ChannelMask & 8) == 0) {
                why = "a sphere scales its offsets";
                return false;
            }
            box = Box::Cube(std::fabs(e.SphereRadius));
            return true;
        case CEmiterParams::kShapeBox:
            if (z.lo < 0.0) {
                why = "a box reaches below its base";
                return false;
            }
            box = {{{-x, x}, {-y, y}, {0.0, z.hi}}};
            return true;
        case CEmiterParams::kShapeRectangle: box = {{{-x, x}, {-y, y}, {0.0, 0.0}}}; return true;
        case CEmiterParams::kShapePoint: box = Box(); return true;
    }
    why = "an unknown shape";
    return false;
}

// Where a particle gets to from its birth place, in its emitter's frame.
Box MotionReach(const CEmiterParams& e, const CParticleParams& p, int32_t life) {
    const Interval speedScale = EmiterPair(e, CEmiterParams::SpeedScale);
    if (p.OwnMatrix != 0) {
        // The offset rows, scaled by the birth scale and maybe turned by the particle's matrix.
        Box rows{{ParticlePair(p, CParticleParams::OffsetX) * speedScale,
                  ParticlePair(p, CParticleParams::OffsetY) * speedScale,
                  ParticlePair(p, CParticleParams::OffsetZ) * speedScale}};
        const bool ownMatrix = p.ParticleSpace == 1 || p.ParticleSpace == 2 ||
                               e.EmitShape == CEmiterParams::kShapeSphere || e.EmitShape == CEmiterParams::kShapeBox;
        return ownMatrix ? rows.Turned() : rows;
    }
    const double steps = life + 1;
    const double v = p.StartSpeed / 30.0;
    Box velocity;
    if (e.EmitShape == CEmiterParams::kShapeSphere) {
        velocity = Box::Cube(std::fabs(v) * speedScale.Magnitude());
    } else if (e.EmitShape == CEmiterParams::kShapeBox) {
        // Out of the face: up from the top (face 0), down from the bottom (1), along
        // y from faces 2 and 4, along x from faces 3 and 5.
        const Interval along = speedScale * v;
        const Interval both{-along.Magnitude(), along.Magnitude()};
        const int32_t faces = e.BoxFaceMask;
        if (faces & 1) velocity.axis[2] = velocity.axis[2].Hull(along);
        if (faces & 2) velocity.axis[2] = velocity.axis[2].Hull(along * -1.0);
        if (faces & (4 | 16)) velocity.axis[1] = both;
        if (faces & (8 | 32)) velocity.axis[0] = both;
    } else {
        velocity.axis[2] = speedScale * v;
    }
    const double extra[3] = {p.ExtraVelocityX / 30.0, p.ExtraVelocityY / 30.0, p.ExtraVelocityZ / 30.0};
    const bool steady = (p.Flags & CParticleParams::kSpeedRowsOff) != 0;
    const Interval overLife = steady ? Interval{1.0, 1.0} : ParticlePair(p, CParticleParams::SpeedOverLife);
    Box motion;  // from the birth place (0) to the farthest
    for (int a = 0; a < 3; ++a)
        motion.axis[a] = ((velocity.axis[a] + Interval{extra[a], extra[a]}) * overLife * steps).Hull(Interval());
    const double fallScale = life * overLife.Magnitude();
    const double fall = fallScale * fallScale * std::fabs(p.Gravity) / 900.0 / 2.0;
    motion.axis[2] = motion.axis[2] + (p.Gravity > 0 ? Interval{-fall, 0.0} : Interval{0.0, fall});
    const double jitter = std::fabs(p.Jitter) / 60.0 * kMaxUnpacked * steps;
    for (int a = 0; a < 2; ++a) motion.axis[a] = motion.axis[a] + Interval{-jitter, jitter};
    return motion;
}

// How far the drawn quad, strip or model reaches from a particle's place.
Box DrawnSize(const CEmiterParams& e, const CParticleParams& p) {
    double size = 1.0;
    if ((p.Flags & CParticleParams::kSizeRowsOff) == 0) {
        size = std::max({ParticlePair(p, CParticleParams::SizeX).Magnitude(),
                         ParticlePair(p, CParticleParams::SizeY).Magnitude(),
                         ParticlePair(p, CParticleParams::SizeZ).Magnitude()});
    }
    size *= EmiterPair(e, CEmiterParams::SizeScale).Magnitude();
    const double offset =
        (std::fabs(p.CentreOffsetX) + std::fabs(p.CentreOffsetY)) * (p.OffsetRelativeToSize ? size : 1.0);
    const double corner =
        std::hypot(std::max(std::fabs(p.Width) / 2.0 * size, 0.025), std::fabs(p.Height) / 2.0 * size);
    switch (p.ParticleKind) {
        case 0: return Box::Cube(kObjectRadius * size);
        case 4: return Box();
        case 5: return Box::Cube(std::fabs(p.StripWidth) / 2.0 * size);
        case 3: {
            // Flat on the ground plane, turned about z only, at its flat height.
            const double r = corner + offset;
            const double h = p.FlatHeight;
            return {{{-r, r}, {-r, r}, Interval::Of(0.0, h)}};
        }
        default: return Box::Cube(corner + offset);
    }
}

class Measurer {
public:
    Measurer(const CParticlesMesh& effect, Figures& figures, std::string& why)
        : m_Effect(effect), m_Figures(figures), m_Why(why) {}

    bool Run() {
        bool any = false;
        Box box;
        for (const CParticleEmiterParams* entry : m_Effect.m_arrEntries) {
            if (!entry->IsAutoStart() || entry->Disabled) continue;
            Box reach;
            int32_t end = 0, peak = 0;
            if (!MeasureEntry(*entry, Box(), false, reach, end, peak)) return false;
            box = any ? box.Hull(reach) : reach;
            any = true;
            m_Figures.looping = m_Figures.looping || entry->RepeatMode == 2;
            m_Figures.endSteps = std::max(m_Figures.endSteps, end + 2);
            m_Figures.peak += peak;
        }
        if (!any) return Fail("no entry starts with the effect");
        for (int a = 0; a < 3; ++a) {
            m_Figures.box.lo[a] = static_cast<float>(std::floor(box.axis[a].lo * 2.0) / 2.0);
            m_Figures.box.hi[a] = static_cast<float>(std::ceil(box.axis[a].hi * 2.0) / 2.0);
        }
        return true;
    }

private:
    bool Fail(const std::string& why) {
        m_Why = why;
        return false;
    }

    const CEmiterParams* EmiterOf(const CParticleEmiterParams& entry) const {
        const int32_t i = entry.EmiterIndex;
        return i >= 0 && static_cast<size_t>(i) < m_Effect.m_arrEmiterParams.size() ? m_Effect.m_arrEmiterParams[i]
                                                                                    : nullptr;
    }
    const CParticleParams* ParticlesOf(const CParticleEmiterParams& entry) const {
        const int32_t i = entry.ParticleIndex;
        return i >= 0 && static_cast<size_t>(i) < m_Effect.m_arrParticleParams.size() ? m_Effect.m_arrParticleParams[i]
                                                                                      : nullptr;
    }

    bool Check(const CParticleEmiterParams& entry, const CEmiterParams& e, const Timeline& t) {
        const std::string name = entry.Name.c_str();
        if (entry.Name != entry.SecondName) return Fail(name + ": its two names differ");
        if (e.DurationFrames != SecondsToFrames(e.Duration)) return Fail(name + ": frames and seconds disagree");
        if (entry.Hold) return Fail(name + ": a held entry");
        if (e.FacingFlag3) return Fail(name + ": the third facing flag");
        if (e.SourceKind != 0) return Fail(name + ": not relative to the effect");
        for (int32_t row = CEmiterParams::AngleY; row <= CEmiterParams::AngleZVar; ++row) {
            if (RowRange(e.Tracks[row]).Magnitude() != 0.0) return Fail(name + ": turned about x or y");
        }
        if (t.plays > 1 || t.looping) {
            // A path whose last key differs from its first carries on from play to play.
            for (int32_t axis = 0; axis < 3; ++axis) {
                if ((e.ChannelMask & (0x100 << axis)) != 0) continue;
                for (int32_t row = 2 * axis; row < 2 * axis + 2; ++row) {
                    const CSParamTrack& track = e.Tracks[row];
                    if (!track.IsConstant() && !track.m_arrKeys.IsEmpty() &&
                        track.m_arrKeys[0] != track.m_arrKeys[track.m_arrKeys.GetCount() - 1])
                        return Fail(name + ": its path drifts from play to play");
                }
            }
        }
        return true;
    }

    // The reach, end and peak of one entry created at step 0 with its base reach.
    bool MeasureEntry(const CParticleEmiterParams& entry, const Box& base, bool baseTurns, Box& reach, int32_t& end,
                      int32_t& peak) {
        const CEmiterParams* e = EmiterOf(entry);
        if (e == nullptr) return Fail(std::string(entry.Name.c_str()) + ": no emitter block");
        const Timeline t = TimelineOf(entry, *e);
        if (!Check(entry, *e, t)) return false;
        const int32_t lastUnit = t.start + t.Active() - 1;
        const bool turns = baseTurns || HasYaw(*e);
        Box shape;
        if (!ShapeReach(*e, shape, m_Why)) return Fail(std::string(entry.Name.c_str()) + ": " + m_Why);
        const Box place = base + EmitterOffsets(*e);

        if (entry.EmitsEmitters) {
            if (e->EmitShape != CEmiterParams::kShapeRectangle && e->EmitShape != CEmiterParams::kShapePoint)
                return Fail(std::string(entry.Name.c_str()) + ": children placed by a turning shape");
            const Box childBase = place + (turns ? shape.TurnedAboutZ() : shape);
            bool first = true;
            int32_t childrenPeak = 0, childSpan = 0;
            end = lastUnit + 1;
            for (const CSString& name : entry.ChildNames) {
                const int32_t index = m_Effect.FindLinkedEmitter(&entry, name.c_str());
                if (index < 0) return Fail(std::string(entry.Name.c_str()) + ": a child that is not there");
                const CParticleEmiterParams& child = *m_Effect.m_arrEntries[index];
                if (child.EmitsEmitters) return Fail(std::string(child.Name.c_str()) + ": children of children");
                Box childReach;
                int32_t childEnd = 0, childPeak = 0;
                if (!MeasureEntry(child, childBase, turns, childReach, childEnd, childPeak)) return false;
                reach = first ? childReach : reach.Hull(childReach);
                first = false;
                end = std::max(end, lastUnit + childEnd);
                childrenPeak += childPeak;
                childSpan = std::max(childSpan, childEnd);
            }
            if (first) return Fail(std::string(entry.Name.c_str()) + ": no children");
            peak = MostInWindow(*e, t, childSpan) * childrenPeak;
            return true;
        }

        const CParticleParams* p = ParticlesOf(entry);
        if (p == nullptr) return Fail(std::string(entry.Name.c_str()) + ": no particle block");
        if (p->LifeFrames != SecondsToFrames(p->Life)) return Fail(std::string(p->Name.c_str()) + ": life disagrees");
        if (p->ParticleKind == 6) return Fail(std::string(p->Name.c_str()) + ": a beam");
        const int32_t life = LongestLife(*e, *p);
        const Box local = shape + MotionReach(*e, *p, life);
        reach = place + (turns ? local.TurnedAboutZ() : local) + DrawnSize(*e, *p);
        end = lastUnit + life + 2;
        peak = MostInWindow(*e, t, life + 1);
        return true;
    }

    const CParticlesMesh& m_Effect;
    Figures& m_Figures;
    std::string& m_Why;
};

}  // namespace

void Constant(CSParamTrack& track, float value) {
    track.m_arrKeys.Free();
    track.m_bConstant = 1;
    track.m_fConstant = value;
}

void Keys(CSParamTrack& track, std::initializer_list<float> keys) {
    track.m_arrKeys.Free();
    for (float key : keys) track.m_arrKeys.Append(key);
    track.m_bConstant = 0;
    track.m_fConstant = 0.0f;
}

void Curve(CSParamTrack& track, int32_t frames, const std::function<float(float)>& f) {
    track.m_arrKeys.Free();
    for (int32_t i = 0; i <= frames; ++i)
        track.m_arrKeys.Append(f(frames > 0 ? static_cast<float>(i) / static_cast<float>(frames) : 0.0f));
    track.m_bConstant = 0;
    track.m_fConstant = 0.0f;
}

void Pair(CEmiterParams& block, int32_t baseRow, float base, float variation) {
    Constant(block.Tracks[baseRow], base);
    Constant(block.Tracks[baseRow + 1], variation);
    block.NoVariation[baseRow / 2] = variation == 0.0f ? 1 : 0;
}

void Pair(CParticleParams& block, int32_t baseRow, float base, float variation) {
    Constant(block.Tracks[baseRow], base);
    Constant(block.Tracks[baseRow + 1], variation);
    block.NoVariation[LockIndex(baseRow)] = variation == 0.0f ? 1 : 0;
}

void Vary(CEmiterParams& block, int32_t baseRow) { block.NoVariation[baseRow / 2] = 0; }
void Vary(CParticleParams& block, int32_t baseRow) { block.NoVariation[LockIndex(baseRow)] = 0; }

Effect::Effect(const char* name) { m_Mesh.m_astrNames[1] = name; }

CEmiterParams& Effect::Emitter(const char* name, float seconds) {
    CEmiterParams* e = new CEmiterParams();
    m_Mesh.m_arrEmiterParams.push_back(e);
    e->Name = name;
    e->SecondName = name;
    e->Duration = seconds;
    e->DurationFrames = SecondsToFrames(seconds);
    e->EmitShape = CEmiterParams::kShapePoint;
    e->TimeScale = 1.0f;
    for (int32_t row = 0; row < CEmiterParams::kRowCount; row += 2) Pair(*e, row, 0.0f);
    for (int32_t row : {CEmiterParams::SpeedScale, CEmiterParams::SizeScale, CEmiterParams::LifeScale})
        Pair(*e, row, 1.0f);
    return *e;
}

CParticleParams& Effect::Particles(const char* name, float seconds, int32_t kind) {
    CParticleParams* p = new CParticleParams();
    m_Mesh.m_arrParticleParams.push_back(p);
    p->Name = name;
    p->SecondName = name;
    p->Life = seconds;
    p->LifeFrames = SecondsToFrames(seconds);
    p->ParticleKind = kind;
    p->WholeTexture = 1;
    p->UEnd = 1.0f;
    p->VEnd = 1.0f;
    p->SheetColumns = 1;
    p->AtlasRows = 1;
    p->AtlasRowScale = 1.0f;
    for (int32_t row = 0; row < CParticleParams::kRowCount; row += 2) Pair(*p, row, 0.0f);
    for (int32_t row :
         {CParticleParams::SizeX, CParticleParams::SizeY, CParticleParams::SizeZ, CParticleParams::Red,
          CParticleParams::Green, CParticleParams::Blue, CParticleParams::Alpha, CParticleParams::SpeedOverLife})
        Pair(*p, row, 1.0f);
    return *p;
}

CParticleEmiterParams& Effect::Entry(const char* name, int32_t emiter, int32_t particle) {
    CParticleEmiterParams* entry = new CParticleEmiterParams();
    m_Mesh.m_arrEntries.push_back(entry);
    entry->Name = name;
    entry->SecondName = name;
    entry->EmiterIndex = emiter;
    entry->ParticleIndex = particle;
    return *entry;
}

CParticleEmiterParams& Effect::Child(const char* name, int32_t emiter, int32_t particle) {
    CParticleEmiterParams& entry = Entry(name, emiter, particle);
    entry.TriggerB = 1;
    return entry;
}

CParticleEmiterParams& Effect::Spawner(const char* name, int32_t emiter, std::initializer_list<const char*> children) {
    CParticleEmiterParams& entry = Entry(name, emiter, -1);
    entry.EmitsEmitters = 1;
    for (const char* child : children) entry.ChildNames.push_back(CSString(child));
    return entry;
}

bool Measure(const CParticlesMesh& effect, Figures& figures, std::string& why) {
    figures = Figures();
    return Measurer(effect, figures, why).Run();
}

}  // namespace particledesign
