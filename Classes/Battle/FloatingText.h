#pragma once
// A short text that rises from a point of the battle map and fades out: a kill's gold,
// a spot's bonus. The battle keeps a list of them, steps and draws them.
#include <cstdint>
#include <string>

#include "Maths/Color.h"
#include "Maths/IntVector3.h"
#include "Maths/Vector2.h"

class FloatingText {
public:
    // White.
    FloatingText(const std::string& text, const IntVector3& position);
    FloatingText(const std::string& text, const IntVector3& position, const Color& color);

    // Timing, rise and colour as at the start: shown 1500 ms, fading from 500 ms,
    // rising 30 screen units a second, white.
    void Reset();
    // False once the text has ended; it then no longer moves.
    bool Update(int32_t dt);
    // The colour with its alpha falling linearly to 0 between the fade start and the end.
    Color GetColor() const;

    const std::string& GetText() const { return text_; }
    const IntVector3& GetPosition() const { return position_; }
    // Screen units from the screen point of the position.
    const Vector2& GetOffset() const { return offset_; }
    int32_t GetElapsed() const { return elapsed_; }

private:
    std::string text_;
    int32_t elapsed_ = 0;
    int32_t fade_start_ = 500;
    int32_t lifetime_ = 1500;
    IntVector3 position_;
    Vector2 offset_;
    Vector2 velocity_;
    Color color_;
};
