#include "Video/ogv/OgvGenericException.h"

#include <algorithm>

namespace {

constexpr size_t kMaxFileLength = 1000;

}  // namespace

_OgvGenericException::_OgvGenericException(const std::string& text, std::string typeName, std::string fileName,
                                           int32_t lineNumber)
    : errorText(text), type(std::move(typeName)), line(lineNumber) {
    const size_t src = fileName.find("src");
    if (src != std::string::npos) fileName.erase(0, std::min(fileName.size(), src + 4));
    file = fileName.substr(0, kMaxFileLength);
}

std::string _OgvGenericException::GetText() {
    std::string text;
    if (!type.empty()) text += type + ": ";
    if (!file.empty()) text += "[" + file + ":" + std::to_string(line) + "] - ";
    return text + GetErrorText();
}

std::string _OgvGenericException::GetErrorText() { return errorText; }
