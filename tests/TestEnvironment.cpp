// Linked into every test program: the environment the tests run in, set before
// main so that a test started by hand behaves as under CTest.
#include <cstdio>
#include <cstdlib>

namespace {

struct TestEnvironment {
    TestEnvironment() {
        setenv("DUNMARCH_HEADLESS", "1", 0);
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("ALSOFT_DRIVERS", "null", 0);
        setenv("DM_SOURCE_DIR", DM_TEST_SOURCE_DIR, 0);
        setenv("DM_BUILD_DIR", DM_TEST_BUILD_DIR, 0);
    }
};

const TestEnvironment environment;

}  // namespace

// Leaks inside system libraries we only call: the list is tests/lsan.supp.
extern "C" const char* __lsan_default_suppressions() {
    static char text[8192];
    if (FILE* f = std::fopen(DM_TEST_SOURCE_DIR "/tests/lsan.supp", "rb")) {
        const size_t n = std::fread(text, 1, sizeof(text) - 1, f);
        text[n] = 0;
        std::fclose(f);
    }
    return text;
}
