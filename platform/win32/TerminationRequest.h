#pragma once
// Ctrl+C (SIGINT) and SIGTERM as a request to end the program, the way Windows
// asks a program to close: the window layer turns the request into WM_CLOSE,
// so the run loop shuts down in order, and an open message box is closed.
// A second signal while a request is pending ends the process at once.

namespace platform {

// Installs the handlers (once; later calls do nothing). Until then the signals
// keep their default action.
void InstallTerminationHandlers();

bool TerminationRequested();

// A descriptor that becomes readable once a request was made (for poll); -1
// before the handlers are installed.
int TerminationFd();

// What the handler does, for tests: records a request for this signal.
void RequestTermination(int signal);
// Forgets a recorded request (tests).
void ClearTerminationRequest();

}  // namespace platform
