#pragma once
// The animation-clip tables (in the "anims" folder of config.xml). Every humanoid
// model shares one frame layout (catalogue::models::kHumanoidClips), so a table fits
// any of them; each humanoid names its table in tools/catalogue/Models.h. The six
// tables the data stamp checksums are named as it names them; the keeper and the
// hero, which it does not name, have tables of their own.
#include <cstring>

#include "tools/catalogue/Models.h"

namespace catalogue {
namespace clips {

// Every table the clip writer makes, each once: the data stamp's six in its order,
// then the keeper's and the hero's.
inline constexpr const char* kTables[] = {
    "warrior.xml",   "archer.xml",    "caster.xml", "orcwarrior.xml",
    "orcarcher.xml", "orccaster.xml", "keeper.xml", "hero.xml",
};

namespace detail {
// True when fn holds for any humanoid of tools/catalogue/Models.h.
template <class Fn>
constexpr bool AnyHumanoid(Fn fn) {
    for (const models::Humanoid& h : models::kDefenders)
        if (fn(h)) return true;
    for (const models::Humanoid& h : models::kAttackers)
        if (fn(h)) return true;
    return fn(models::kKeeper) || fn(models::kHero);
}
constexpr bool Same(const char* a, const char* b) {
    while (*a != 0 && *a == *b) ++a, ++b;
    return *a == *b;
}
constexpr bool Listed(const char* file) {
    for (const char* table : kTables)
        if (Same(table, file)) return true;
    return false;
}
}  // namespace detail

static_assert(!detail::AnyHumanoid([](const models::Humanoid& h) { return !detail::Listed(h.clips); }),
              "a humanoid names a clip table the clip writer does not make");
static_assert(
    [] {
        for (const char* table : kTables)
            if (!detail::AnyHumanoid([table](const models::Humanoid& h) { return detail::Same(h.clips, table); }))
                return false;
        return true;
    }(),
    "a clip table no humanoid uses");

// The frame at which an attack clip strikes (its event frame), as a fraction of
// the clip: a blow lands late in the swing, an arrow leaves at the full draw, a
// spell when the hands come forward. -1 for clips without an event.
inline int EventFrame(const models::Clip& clip) {
    struct Timing {
        const char* name;
        int numerator, denominator;
    };
    static constexpr Timing kTimings[] = {
        {"strike_1", 2, 3}, {"strike_2", 3, 4}, {"bow_shoot", 7, 10}, {"castsmall", 1, 2}, {"castbig", 2, 3},
    };
    for (const Timing& timing : kTimings) {
        if (std::strcmp(timing.name, clip.name) == 0)
            return clip.first + (clip.last - clip.first) * timing.numerator / timing.denominator;
    }
    return -1;
}

}  // namespace clips
}  // namespace catalogue
