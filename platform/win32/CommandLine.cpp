#include "platform/win32/CommandLine.h"

#include <cstring>

std::string JoinCommandLine(int count, const char* const* arguments) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const char* arg = arguments[i] ? arguments[i] : "";
        if (i > 0) text += ' ';
        if (*arg == '\0') {
            text += "\"\"";
            continue;
        }
        if (!std::strpbrk(arg, " \t")) {
            text += arg;
            continue;
        }
        const char* equals = std::strchr(arg, '=');
        if (equals) {
            text.append(arg, equals + 1);
            text += '"';
            text += equals + 1;
            text += '"';
        } else {
            text += '"';
            text += arg;
            text += '"';
        }
    }
    return text;
}
