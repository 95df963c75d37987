#pragma once
// The video library's one exception: a clip whose stream headers cannot be used.
#include <cstdint>
#include <string>

class _OgvGenericException {
public:
    // The file is kept from behind its first "src" and the character after it, when it
    // has one, and cut to 1000 characters.
    _OgvGenericException(const std::string& errorText, std::string type, std::string file, int32_t line);
    virtual ~_OgvGenericException() = default;
    _OgvGenericException(const _OgvGenericException&) = default;

    // "Type: [file:line] - error text", leaving out the parts that are empty.
    virtual std::string GetText();
    virtual std::string GetErrorText();

    const std::string& GetFile() const { return file; }
    int32_t GetLine() const { return line; }

private:
    std::string errorText;
    std::string file;
    std::string type;
    int32_t line;
};
