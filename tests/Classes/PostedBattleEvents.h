#pragma once
// The battle's events as the machine's delivery traces them ("battle event: <name>"),
// heard while the object lives; the listener given is put back afterwards and hears
// every line meanwhile too.
#include <cstring>
#include <string>
#include <vector>

#include "platform/Trace.h"

class PostedBattleEvents {
public:
    explicit PostedBattleEvents(PlatformTraceListener previous = nullptr) : previous_(previous) {
        Current() = this;
        SetPlatformTraceListener(&Hear);
    }
    ~PostedBattleEvents() {
        SetPlatformTraceListener(previous_);
        Current() = nullptr;
    }
    PostedBattleEvents(const PostedBattleEvents&) = delete;
    PostedBattleEvents& operator=(const PostedBattleEvents&) = delete;

    std::vector<std::string> posted;

private:
    static PostedBattleEvents*& Current() {
        static PostedBattleEvents* current = nullptr;
        return current;
    }
    static void Hear(const char* line) {
        static const char kPrefix[] = "battle event: ";
        PostedBattleEvents* self = Current();
        if (self == nullptr) return;
        if (std::strncmp(line, kPrefix, sizeof kPrefix - 1) == 0) self->posted.push_back(line + sizeof kPrefix - 1);
        if (self->previous_ != nullptr) self->previous_(line);
    }

    PlatformTraceListener previous_;
};
