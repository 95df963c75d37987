// Linked into every test program: the environment the tests run in, set before
// main so that a test started by hand behaves as under CTest. The leak
// suppressions come with every sanitized program (dm_leak_suppressions).
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
