#pragma once
// The library's text helpers; every log line is built with them.
#include <cstdint>
#include <string>

// "%d"
std::string OgvIntText(int32_t value);
// "%.3f"
std::string OgvFloatText(float value);
