// Runs every registered check on the data in the current folder (or the folder given)
// and exits non-zero when any of them failed.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "Core/Assert.h"
#include "tools/datacheck/Check.h"

namespace datacheck {
namespace {

struct Entry {
    const char* name;
    int order;
    CheckFn fn;
};

std::vector<Entry>& Checks() {
    static std::vector<Entry> checks;
    return checks;
}

Report* g_current = nullptr;

// A failed assertion inside a reader is a failure of the check that ran it.
void OnAssertion(const char* condition, const char* message, const char* file, int line) {
    if (g_current) g_current->Fail("assertion %s && \"%s\" (%s:%d)", condition, message, file, line);
}

void Print(const char* prefix, const char* format, va_list args) {
    std::fputs(prefix, stdout);
    std::vfprintf(stdout, format, args);
    std::fputc('\n', stdout);
}

}  // namespace

void Report::Line(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Print("  ", format, args);
    va_end(args);
}

void Report::Fail(const char* format, ...) {
    ++failures_;
    va_list args;
    va_start(args, format);
    Print("  FAILED: ", format, args);
    va_end(args);
}

Registration::Registration(const char* name, int order, CheckFn fn) { Checks().push_back({name, order, fn}); }

}  // namespace datacheck

int main(int argc, char** argv) {
    // The readers' messages go to the standard error at once; the report is held
    // back whole, so that where both are read together no message cuts into it.
    static char report[1 << 20];
    std::setvbuf(stdout, report, _IOFBF, sizeof report);
    if (argc > 2) {
        std::fprintf(stderr, "usage: dunmarch-datacheck [game folder]\n");
        return 2;
    }
    if (argc == 2) {
        std::error_code error;
        std::filesystem::current_path(argv[1], error);
        if (error) {
            std::fprintf(stderr, "dunmarch-datacheck: cannot enter %s: %s\n", argv[1], error.message().c_str());
            return 2;
        }
    }
    auto checks = datacheck::Checks();
    std::sort(checks.begin(), checks.end(), [](const auto& a, const auto& b) {
        return a.order != b.order ? a.order < b.order : std::strcmp(a.name, b.name) < 0;
    });
    SetAssertionHandler(&datacheck::OnAssertion);

    int failures = 0, failedChecks = 0;
    for (const auto& check : checks) {
        std::printf("[%s]\n", check.name);
        datacheck::Report report;
        datacheck::g_current = &report;
        check.fn(report);
        datacheck::g_current = nullptr;
        failures += report.Failures();
        if (report.Failures()) ++failedChecks;
    }
    SetAssertionHandler(nullptr);
    std::printf("%zu checks, %d failed (%d problems)\n", checks.size(), failedChecks, failures);
    std::fflush(stdout);
    return failures ? 1 : 0;
}
