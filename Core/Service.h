#pragma once
// One process-wide, non-owning pointer slot per service type. Owners register
// an object when they create it and unregister it before destroying it.
#include "platform/win32/MessageBox.h"

template <typename T>
class Service {
public:
    static bool Exists() { return instance_ != nullptr; }

    // An empty slot is a programming error: the box, then null.
    static T* Get() {
        if (instance_ == nullptr) ReportMissing();
        return instance_;
    }

    // A taken slot is reported and then overwritten.
    static void Register(T* instance) {
        if (instance_ != nullptr) MessageBoxA(nullptr, "Service already exists!", "Program Error", MB_ICONERROR);
        instance_ = instance;
    }

    static void Unregister() {
        if (instance_ == nullptr) ReportMissing();
        instance_ = nullptr;
    }

private:
    static void ReportMissing() {
        MessageBoxA(nullptr, "Service expired or doesn't exist.", "Program Error", MB_ICONERROR);
    }

    static inline T* instance_ = nullptr;
};
