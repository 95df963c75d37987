#pragma once
// One attribute of the XML the writers spell by hand: a space, the name and the value
// in double quotes.
#include <string>

namespace databuilder {

inline std::string Attr(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + value + "\"";
}
inline std::string Attr(const char* name, int value) { return Attr(name, std::to_string(value)); }

}  // namespace databuilder
