// The HUD sheet: the buttons of the defenders, actions, spells and speeds with
// their second images, the counters' icons, the digits, pips, bevels and bars.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "tools/catalogue/Textures.h"
#include "tools/databuilder/Canvas.h"
#include "tools/databuilder/TexturesHud.h"

namespace {

using canvas::Canvas;
using canvas::Colour;
using canvas::Rgb;
using databuilder::kPiF;
namespace tex = catalogue::textures;

const tex::HudRegion& Region(const char* name) {
    for (const tex::HudRegion& r : tex::kHudRegions)
        if (std::strcmp(r.name, name) == 0) return r;
    return tex::kHudRegions[0];
}

// A button face: bevelled slate with a lighter rim.
void ButtonFace(Canvas& c, const tex::HudRegion& r, Colour tint) {
    float x0 = float(r.tx) + 2, y0 = float(r.ty) + 2, x1 = float(r.tx + r.tw) - 2, y1 = float(r.ty + r.th) - 2;
    c.RoundRect(x0, y0, x1, y1, 8, Rgb(30, 34, 44));
    c.RoundRect(x0 + 3, y0 + 3, x1 - 3, y1 - 3, 6, canvas::Mix(Rgb(60, 66, 82), tint, 0.25f));
    c.RoundRect(x0 + 3, y0 + 3, x1 - 3, y0 + (y1 - y0) / 2, 6, Rgb(255, 255, 255, 28));
}

// A figure: head and body in the unit's colour.
void Figure(Canvas& c, float cx, float cy, Colour body) {
    c.Circle(cx, cy - 14, 7, Rgb(235, 200, 160));
    c.Polygon({cx - 12, cy + 18, cx - 8, cy - 6, cx + 8, cy - 6, cx + 12, cy + 18}, body);
}

void DefenderButton(Canvas& c, const char* name, Colour body, int glyph) {
    const tex::HudRegion& r = Region(name);
    ButtonFace(c, r, body);
    float cx = r.tx + r.tw / 2.0f - 6, cy = r.ty + r.th / 2.0f + 2;
    Figure(c, cx, cy, body);
    float gx = cx + 16, gy = cy;
    Colour steel = Rgb(220, 225, 235);
    switch (glyph) {
        case 0:
            c.Line(gx, gy + 16, gx, gy - 20, 3, steel);
            c.Line(gx - 5, gy + 8, gx + 5, gy + 8, 3, steel);
            break;
        case 1:
            c.Ring(gx - 8, gy, 16, 3, Rgb(150, 100, 40));
            c.Line(gx, gy - 15, gx, gy + 15, 1, steel);
            break;
        case 2:
            c.Rect(gx - 2, gy - 14, gx + 2, gy + 14, Rgb(250, 230, 120));
            c.Rect(gx - 8, gy - 6, gx + 8, gy - 2, Rgb(250, 230, 120));
            break;
        case 3:
            c.Circle(gx, gy - 6, 7, Rgb(230, 230, 210));
            c.Circle(gx - 3, gy - 7, 2, Rgb(20, 20, 20));
            c.Circle(gx + 3, gy - 7, 2, Rgb(20, 20, 20));
            c.Line(gx, gy + 2, gx, gy + 16, 2, Rgb(120, 90, 140));
            break;
        case 4:
            c.Polygon({gx - 9, gy - 12, gx + 9, gy - 12, gx + 9, gy + 2, gx, gy + 14, gx - 9, gy + 2}, steel);
            break;
        default:
            c.Polygon({gx, gy - 16, gx + 7, gy + 4, gx, gy + 12, gx - 7, gy + 4}, Rgb(255, 140, 30));
            c.Circle(gx, gy + 4, 4, Rgb(255, 230, 120));
            break;
    }
}

void Bolt(Canvas& c, float x, float y, float s, Colour colour) {
    c.Polygon({x + 4 * s, y - 14 * s, x - 6 * s, y + 2 * s, x, y + 2 * s, x - 4 * s, y + 14 * s, x + 7 * s, y - 3 * s,
               x + 1 * s, y - 3 * s},
              colour);
}

void Coin(Canvas& c, float x, float y, float r) {
    c.Circle(x, y, r, Rgb(180, 130, 20));
    c.Circle(x, y, r * 0.78f, Rgb(250, 205, 60));
    c.Rect(x - r * 0.15f, y - r * 0.45f, x + r * 0.15f, y + r * 0.45f, Rgb(200, 150, 30));
}

void Star(Canvas& c, float x, float y, float r, Colour colour) {
    std::vector<float> p;
    for (int i = 0; i < 10; ++i) {
        float a = -kPiF / 2 + i * kPiF / 5, rr = i % 2 == 0 ? r : r * 0.45f;
        p.push_back(x + rr * std::cos(a));
        p.push_back(y + rr * std::sin(a));
    }
    c.Polygon(p, colour);
}

// Seven-segment digits.
void Digit(Canvas& c, const tex::HudRegion& r, int d) {
    static const int kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    float x0 = r.tx + 3.0f, x1 = r.tx + r.tw - 3.0f, y0 = r.ty + 2.0f, ym = r.ty + r.th / 2.0f, y1 = r.ty + r.th - 2.0f;
    Colour white = Rgb(255, 255, 255);
    const float seg[7][4] = {{x0, y0, x1, y0}, {x1, y0, x1, ym}, {x1, ym, x1, y1}, {x0, y1, x1, y1},
                             {x0, ym, x0, y1}, {x0, y0, x0, ym}, {x0, ym, x1, ym}};
    for (int s = 0; s < 7; ++s)
        if (kSegments[d] & (1 << s)) c.Line(seg[s][0], seg[s][1], seg[s][2], seg[s][3], 2.5f, white);
}

// The sheet rectangle of a button's second image, (ox, oy) from its first.
struct SecondPlace {
    int x, y, w, h;
    float cx, cy;  // its centre
};
SecondPlace SecondOf(const tex::HudRegion& r) {
    const int x = r.tx + r.ox, y = r.ty + r.oy;
    return {x, y, r.tw, r.th, x + r.tw / 2.0f, y + r.th / 2.0f};
}

// The first image of a button copied to its second place, every pixel through `change`.
void CopyToSecond(Canvas& c, const tex::HudRegion& r, const std::function<Colour(Colour)>& change) {
    const SecondPlace s = SecondOf(r);
    for (int y = 0; y < r.th; ++y)
        for (int x = 0; x < r.tw; ++x) c.Set(s.x + x, s.y + y, change(c.Get(r.tx + x, r.ty + y)));
}

Colour Unchanged(Colour colour) { return colour; }

// The second images: the actions' other state (a resurrection, a hidden defender's
// unveiling, a weapon that does no harm), the spells cooling down, the speed buttons pressed.
void SecondImages(Canvas& c) {
    const Colour gold = Rgb(255, 215, 0), white = Rgb(245, 245, 245);
    // Heal: raising the dead, a cross over a rising arrow in gold.
    const tex::HudRegion& heal = Region("Heal");
    ButtonFace(c, {heal.name, heal.tx + heal.ox, heal.ty + heal.oy, heal.tw, heal.th}, Rgb(240, 200, 60));
    SecondPlace s = SecondOf(heal);
    c.Rect(s.cx - 4, s.cy - 18, s.cx + 4, s.cy + 6, gold);
    c.Rect(s.cx - 12, s.cy - 10, s.cx + 12, s.cy - 3, gold);
    c.Polygon({s.cx - 12, s.cy + 16, s.cx, s.cy + 6, s.cx + 12, s.cy + 16}, white);
    // Teleport and the hit-point upgrade: the same sign in a warmer light.
    for (const char* name : {"Teleport", "UpgradeHP"})
        CopyToSecond(c, Region(name),
                     [](Colour p) { return p.a == 0 ? p : canvas::Mix(p, Rgb(255, 200, 120, p.a), 0.3f); });
    // HideShow: the eye shut, for a defender to come out of hiding.
    const tex::HudRegion& hide = Region("HideShow");
    CopyToSecond(c, hide, &Unchanged);
    s = SecondOf(hide);
    c.Ellipse(s.cx, s.cy, 19, 11, canvas::Mix(Rgb(60, 66, 82), Rgb(150, 150, 150), 0.25f));
    c.Line(s.cx - 18, s.cy, s.cx + 18, s.cy, 3, white);
    for (int k = -2; k <= 2; ++k) c.Line(s.cx + k * 7.0f, s.cy + 1, s.cx + k * 8.0f, s.cy + 8, 2, white);
    // UpgradeWeapon: a staff with a healing cross, the weapon that hurts nobody.
    const tex::HudRegion& weapon = Region("UpgradeWeapon");
    ButtonFace(c, {weapon.name, weapon.tx + weapon.ox, weapon.ty + weapon.oy, weapon.tw, weapon.th},
               Rgb(120, 200, 120));
    s = SecondOf(weapon);
    c.Line(s.cx - 12, s.cy + 16, s.cx + 6, s.cy - 12, 3, Rgb(150, 100, 40));
    c.Rect(s.cx + 2, s.cy - 20, s.cx + 8, s.cy - 4, Rgb(60, 220, 80));
    c.Rect(s.cx - 3, s.cy - 15, s.cx + 13, s.cy - 9, Rgb(60, 220, 80));
    c.Rect(s.cx + 10, s.cy + 2, s.cx + 14, s.cy + 14, white);
    c.Rect(s.cx + 6, s.cy + 6, s.cx + 18, s.cy + 10, white);
    // Sell: the coin with the hand-back arrow.
    const tex::HudRegion& sell = Region("Sell");
    CopyToSecond(c, sell, &Unchanged);
    s = SecondOf(sell);
    c.Polygon({s.cx + 6, s.cy + 10, s.cx + 20, s.cy + 18, s.cx + 6, s.cy + 26}, white);
    // The spells cooling down: dimmed, an hourglass over them.
    for (const char* name : {"Slow", "Firestorm", "Lightning"}) {
        const tex::HudRegion& spell = Region(name);
        CopyToSecond(c, spell, [](Colour p) {
            return p.a == 0 ? p : canvas::Shade(canvas::Mix(p, Rgb(128, 128, 128, p.a), 0.6f), 0.6f);
        });
        s = SecondOf(spell);
        c.Polygon({s.cx - 10, s.cy - 14, s.cx + 10, s.cy - 14, s.cx, s.cy}, white);
        c.Polygon({s.cx, s.cy, s.cx + 10, s.cy + 14, s.cx - 10, s.cy + 14}, white);
    }
    // The speed buttons pressed: darker, the sign pushed in by two pixels.
    for (const char* name : {"Pause", "NormalSpeed", "DoubleSpeed", "MainMenu"}) {
        const tex::HudRegion& speed = Region(name);
        s = SecondOf(speed);
        for (int y = 0; y < speed.th; ++y)
            for (int x = 0; x < speed.tw; ++x) {
                const int fx = std::max(x - 2, 0), fy = std::max(y - 2, 0);
                const Colour p = c.Get(speed.tx + fx, speed.ty + fy);
                c.Set(s.x + x, s.y + y, p.a == 0 ? p : canvas::Shade(p, 0.7f));
            }
        c.RoundRect(s.x + 5.0f, s.y + 5.0f, s.x + s.w - 5.0f, s.y + s.h - 5.0f, 6, Rgb(255, 215, 0, 40));
    }
}

}  // namespace

Canvas databuilder::HudSheet() {
    Canvas c(tex::kHudSize, tex::kHudSize);
    DefenderButton(c, "Swordman", Rgb(60, 90, 200), 0);
    DefenderButton(c, "Archer", Rgb(40, 140, 60), 1);
    DefenderButton(c, "Priest", Rgb(230, 230, 210), 2);
    DefenderButton(c, "Necromancer", Rgb(90, 50, 120), 3);
    DefenderButton(c, "Heavy Warrior", Rgb(130, 130, 140), 4);
    DefenderButton(c, "Mage", Rgb(50, 60, 180), 5);

    auto centre = [](const tex::HudRegion& r, float* x, float* y) {
        *x = r.tx + r.tw / 2.0f;
        *y = r.ty + r.th / 2.0f;
    };
    float x, y;
    const tex::HudRegion& attack = Region("Attack");
    ButtonFace(c, attack, Rgb(200, 40, 30));
    centre(attack, &x, &y);
    c.Line(x - 14, y + 14, x + 14, y - 14, 4, Rgb(220, 225, 235));
    c.Line(x - 14, y - 14, x + 14, y + 14, 4, Rgb(220, 225, 235));
    const tex::HudRegion& frame = Region("Frame");
    // The top bar's lower edge, tiled along it: a gold line over a short shadow, clear below.
    c.Rect(float(frame.tx), float(frame.ty), float(frame.tx + frame.tw), frame.ty + 3.0f, Rgb(255, 215, 0));
    for (int k = 0; k < 8; ++k)
        c.Rect(float(frame.tx), frame.ty + 3.0f + k, float(frame.tx + frame.tw), frame.ty + 4.0f + k,
               Rgb(0, 0, 0, 120 - k * 15));

    const tex::HudRegion& heal = Region("Heal");
    ButtonFace(c, heal, Rgb(40, 200, 60));
    centre(heal, &x, &y);
    c.Rect(x - 5, y - 16, x + 5, y + 16, Rgb(60, 220, 80));
    c.Rect(x - 16, y - 5, x + 16, y + 5, Rgb(60, 220, 80));
    const tex::HudRegion& teleport = Region("Teleport");
    ButtonFace(c, teleport, Rgb(60, 120, 255));
    centre(teleport, &x, &y);
    for (int k = 0; k < 3; ++k) c.Ring(x, y, 18.0f - k * 6, 3, Rgb(110, 170, 255));
    const tex::HudRegion& hide = Region("HideShow");
    ButtonFace(c, hide, Rgb(150, 150, 150));
    centre(hide, &x, &y);
    c.Ellipse(x, y, 18, 10, Rgb(240, 240, 240));
    c.Circle(x, y, 7, Rgb(60, 110, 170));
    c.Circle(x, y, 3, Rgb(10, 10, 10));
    const tex::HudRegion& upHp = Region("UpgradeHP");
    ButtonFace(c, upHp, Rgb(200, 40, 60));
    centre(upHp, &x, &y);
    c.Circle(x - 7, y - 4, 8, Rgb(220, 40, 50));
    c.Circle(x + 7, y - 4, 8, Rgb(220, 40, 50));
    c.Polygon({x - 15, y - 1, x + 15, y - 1, x, y + 16}, Rgb(220, 40, 50));
    c.Rect(x + 10, y - 20, x + 14, y - 8, Rgb(255, 255, 255));
    c.Rect(x + 6, y - 16, x + 18, y - 12, Rgb(255, 255, 255));
    const tex::HudRegion& upWeapon = Region("UpgradeWeapon");
    ButtonFace(c, upWeapon, Rgb(200, 200, 220));
    centre(upWeapon, &x, &y);
    // Golden, as the weapon's value over a selected unit is yellow.
    c.Line(x - 12, y + 14, x + 8, y - 10, 4, Rgb(255, 215, 0));
    c.Line(x - 12, y + 2, x, y + 14, 3, Rgb(150, 100, 40));
    c.Rect(x + 10, y - 20, x + 14, y - 8, Rgb(255, 255, 255));
    c.Rect(x + 6, y - 16, x + 18, y - 12, Rgb(255, 255, 255));
    const tex::HudRegion& sell = Region("Sell");
    ButtonFace(c, sell, Rgb(250, 205, 60));
    centre(sell, &x, &y);
    Coin(c, x, y, 17);

    const tex::HudRegion& slow = Region("Slow");
    ButtonFace(c, slow, Rgb(90, 170, 255));
    centre(slow, &x, &y);
    for (int k = 0; k < 3; ++k) {
        float a = k * kPiF / 3;
        c.Line(x - 17 * std::cos(a), y - 17 * std::sin(a), x + 17 * std::cos(a), y + 17 * std::sin(a), 3,
               Rgb(200, 235, 255));
    }
    const tex::HudRegion& fire = Region("Firestorm");
    ButtonFace(c, fire, Rgb(255, 100, 20));
    centre(fire, &x, &y);
    c.Polygon({x - 16, y + 16, x - 10, y - 6, x - 4, y + 4, x, y - 18, x + 6, y + 2, x + 11, y - 8, x + 16, y + 16},
              Rgb(250, 110, 20));
    c.Polygon({x - 8, y + 16, x - 3, y, x, y + 6, x + 4, y - 6, x + 9, y + 16}, Rgb(255, 220, 80));
    const tex::HudRegion& lightning = Region("Lightning");
    ButtonFace(c, lightning, Rgb(255, 240, 90));
    centre(lightning, &x, &y);
    Bolt(c, x, y, 1.3f, Rgb(255, 240, 90));

    Colour icon = Rgb(235, 235, 235);
    const tex::HudRegion& pause = Region("Pause");
    ButtonFace(c, pause, Rgb(120, 120, 120));
    centre(pause, &x, &y);
    c.Rect(x - 9, y - 11, x - 3, y + 11, icon);
    c.Rect(x + 3, y - 11, x + 9, y + 11, icon);
    const tex::HudRegion& normal = Region("NormalSpeed");
    ButtonFace(c, normal, Rgb(120, 120, 120));
    centre(normal, &x, &y);
    c.Polygon({x - 7, y - 11, x + 10, y, x - 7, y + 11}, icon);
    const tex::HudRegion& fast = Region("DoubleSpeed");
    ButtonFace(c, fast, Rgb(120, 120, 120));
    centre(fast, &x, &y);
    c.Polygon({x - 12, y - 10, x, y, x - 12, y + 10}, icon);
    c.Polygon({x, y - 10, x + 12, y, x, y + 10}, icon);
    const tex::HudRegion& menu = Region("MainMenu");
    ButtonFace(c, menu, Rgb(120, 120, 120));
    centre(menu, &x, &y);
    for (int k = -1; k <= 1; ++k) c.Rect(x - 11, y + k * 7 - 2, x + 11, y + k * 7 + 2, icon);
    SecondImages(c);

    const tex::HudRegion& enemies = Region("Enemies");
    centre(enemies, &x, &y);
    c.Circle(x, y, 10, Rgb(200, 40, 30));
    c.Polygon({x - 10, y - 4, x - 14, y - 15, x - 5, y - 8}, Rgb(230, 220, 200));
    c.Polygon({x + 10, y - 4, x + 14, y - 15, x + 5, y - 8}, Rgb(230, 220, 200));
    const tex::HudRegion& wave = Region("Wave");
    centre(wave, &x, &y);
    for (int k = -1; k <= 1; ++k)
        for (int s = 0; s < 4; ++s) {
            float xa = x - 12 + s * 6, xb = xa + 6;
            c.Line(xa, y + k * 7 + (s % 2 ? 2 : -2), xb, y + k * 7 + (s % 2 ? -2 : 2), 2, Rgb(80, 160, 255));
        }
    const tex::HudRegion& gold = Region("Gold");
    centre(gold, &x, &y);
    Coin(c, x, y, 13);
    const tex::HudRegion& score = Region("Score");
    centre(score, &x, &y);
    Star(c, x, y, 14, Rgb(255, 215, 0));

    for (int d = 0; d <= 9; ++d) Digit(c, Region(("Digit" + std::to_string(d)).c_str()), d);
    const tex::HudRegion& ind1 = Region("Indicator1");
    c.Circle(ind1.tx + 8.0f, ind1.ty + 8.0f, 6, Rgb(60, 220, 80));
    const tex::HudRegion& ind2 = Region("Indicator2");
    c.Circle(ind2.tx + 8.0f, ind2.ty + 8.0f, 6, Rgb(220, 50, 40));
    // The upgrade pips under a unit's hit points (red, as that number and the upgrade's
    // heart) and under its weapon's value (a golden sword, as that number and the
    // upgrade's sword), dark-rimmed to stand out on the grass.
    const tex::HudRegion& ball1 = Region("UpgradeBall1");
    const tex::HudRegion& ball2 = Region("UpgradeBall2");
    for (int k = 0; k < tex::kUpgradePips; ++k) {
        const float hx = ball1.tx + ball1.tw * k + 8.0f, hy = ball1.ty + 8.0f;
        auto heart = [&](float grow, Colour colour) {
            c.Circle(hx - 3, hy - 2, 3.5f + grow, colour);
            c.Circle(hx + 3, hy - 2, 3.5f + grow, colour);
            c.Polygon({hx - 6.5f - grow, hy - 1, hx + 6.5f + grow, hy - 1, hx, hy + 6 + grow}, colour);
        };
        heart(1.5f, Rgb(40, 10, 10));
        heart(0.0f, Rgb(230, 40, 50));
        const float sx = ball2.tx + ball2.tw * k + 8.0f, sy = ball2.ty + 8.0f;
        c.Line(sx - 5, sy + 5, sx + 5, sy - 5, 4.5f, Rgb(60, 40, 0));
        c.Line(sx - 5, sy + 5, sx + 5, sy - 5, 2.5f, Rgb(255, 215, 0));
        c.Line(sx - 6, sy + 1, sx - 1, sy + 6, 2.0f, Rgb(150, 100, 40));
    }
    const tex::HudRegion& rect1 = Region("ColorRect1");
    c.Rect(float(rect1.tx), float(rect1.ty), float(rect1.tx + rect1.tw), float(rect1.ty + rect1.th),
           Rgb(255, 255, 255));
    const tex::HudRegion& rect2 = Region("ColorRect2");
    c.Rect(float(rect2.tx), float(rect2.ty), float(rect2.tx + rect2.tw), float(rect2.ty + rect2.th), Rgb(0, 0, 0));

    // The bevels: a rim over a button's edge, clear inside; the bright one lit from below.
    for (const char* name : {"Bevel1", "Bevel2"}) {
        const tex::HudRegion& r = Region(name);
        const bool bright = std::strcmp(name, "Bevel2") == 0;
        const Colour light = bright ? Rgb(255, 225, 120, 230) : Rgb(200, 205, 220, 200);
        const Colour dark = bright ? Rgb(150, 100, 20, 230) : Rgb(20, 22, 30, 220);
        const float x0 = float(r.tx), y0 = float(r.ty), x1 = float(r.tx + r.tw), y1 = float(r.ty + r.th);
        c.Rect(x0, y0, x1, y0 + 3, bright ? dark : light);
        c.Rect(x0, y0, x0 + 3, y1, bright ? dark : light);
        c.Rect(x0, y1 - 3, x1, y1, bright ? light : dark);
        c.Rect(x1 - 3, y0, x1, y1, bright ? light : dark);
    }
    const Colour bars[3] = {Rgb(60, 220, 80), Rgb(240, 210, 40), Rgb(220, 50, 40)};
    for (int k = 0; k < 3; ++k) {
        const tex::HudRegion& r = Region(("HealthBar" + std::to_string(k + 1)).c_str());
        c.Rect(float(r.tx), float(r.ty), float(r.tx + r.tw), float(r.ty + r.th), canvas::Shade(bars[k], 0.5f));
        c.Rect(r.tx + 1.0f, r.ty + 1.0f, r.tx + r.tw - 1.0f, r.ty + r.th - 1.0f, bars[k]);
    }
    const tex::HudRegion& result = Region("Result");
    c.RoundRect(float(result.tx), float(result.ty), float(result.tx + result.tw), float(result.ty + result.th), 16,
                Rgb(180, 140, 40, 240));
    c.RoundRect(result.tx + 6.0f, result.ty + 6.0f, result.tx + result.tw - 6.0f, result.ty + result.th - 6.0f, 12,
                Rgb(40, 40, 60, 235));
    return c;
}
