#include "Video/ogv/OgvText.h"

#include <cstdio>

std::string OgvIntText(int32_t value) { return std::to_string(value); }

std::string OgvFloatText(float value) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.3f", value);
    return text;
}
