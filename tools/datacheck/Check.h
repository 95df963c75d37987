#pragma once
// One check of the sample data: it loads files through the game's readers, prints a
// short summary with Report::Line and reports every missing or unreadable file with
// Report::Fail. Checks run in ascending order, then by name, in the game's folder.
#include <cctype>
#include <string>

namespace datacheck {

class Report {
public:
    void Line(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Fail(const char* format, ...) __attribute__((format(printf, 2, 3)));
    int Failures() const { return failures_; }

private:
    int failures_ = 0;
};

using CheckFn = void (*)(Report&);

// File names are compared lower-cased, as the game's caches key them.
inline std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

inline bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

struct Registration {
    Registration(const char* name, int order, CheckFn fn);
};

}  // namespace datacheck

#define DATACHECK_CONCAT2(a, b) a##b
#define DATACHECK_CONCAT(a, b) DATACHECK_CONCAT2(a, b)
// DATACHECK(name, order) { ... body using `report` ... }
#define DATACHECK(name, order)                                                                                        \
    static void DATACHECK_CONCAT(datacheck_check_, name)(datacheck::Report&);                                         \
    static datacheck::Registration DATACHECK_CONCAT(datacheck_reg_, name)(#name, order,                               \
                                                                          &DATACHECK_CONCAT(datacheck_check_, name)); \
    static void DATACHECK_CONCAT(datacheck_check_, name)(datacheck::Report & report)
