// The test server on its own: serves the score and banner routes on 127.0.0.1
// until it is interrupted. Start the game with DUNMARCH_NET_REDIRECT set to the
// address it prints.
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "support/TestServer.h"

int main(int argc, char** argv) {
    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    // Blocked before the server's threads start, so only sigwait sees them.
    pthread_sigmask(SIG_BLOCK, &stop, nullptr);
    testsupport::TestServer server(argc > 1 ? std::atoi(argv[1]) : 0);
    if (!server.Listening()) {
        std::fprintf(stderr, "dunmarch-testserver: cannot listen on 127.0.0.1\n");
        return 1;
    }
    // The shipped banner images when the sample data has been built.
    if (!server.ServeShippedImages(DM_GAME_DIR))
        std::fprintf(stderr, "dunmarch-testserver: no banner images under %s, serving placeholders\n", DM_GAME_DIR);
    std::printf("listening on %s\n", server.Address().c_str());
    std::fflush(stdout);
    int signal = 0;
    sigwait(&stop, &signal);
    return 0;
}
