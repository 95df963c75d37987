#pragma once
// Failed assertions' messages while it lives; the handler before it comes back at its end.
#include <string>
#include <vector>

#include "Core/Assert.h"

class AssertionRecorder {
public:
    AssertionRecorder() {
        Messages().clear();
        previous_ = SetAssertionHandler(&Record);
    }
    ~AssertionRecorder() { SetAssertionHandler(previous_); }
    AssertionRecorder(const AssertionRecorder&) = delete;
    AssertionRecorder& operator=(const AssertionRecorder&) = delete;

    static std::vector<std::string>& Messages() {
        static std::vector<std::string> messages;
        return messages;
    }
    // The last message, or "" when none failed.
    static std::string Last() { return Messages().empty() ? std::string() : Messages().back(); }

private:
    static void Record(const char*, const char* message, const char*, int) { Messages().push_back(message); }
    AssertionHandler previous_;
};
