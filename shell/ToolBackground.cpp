#include "shell/ToolBackground.h"

#include "shell/ToolString.h"

#include <new>

CToolBackground::CToolBackground() : init_(false), api_(nullptr) {}

CToolBackground::~CToolBackground() {
    delete api_;
    api_ = nullptr;
    init_ = false;
}

int CToolBackground::Init(const void* /*context*/, bool /*rotate*/, CToolString* error) {
    delete api_;
    api_ = new (std::nothrow) char(0);
    if (api_ == nullptr) {
        if (error != nullptr) *error = "Error: Insufficient memory to allocate SToolBackgroundAPI.";
        return 1;
    }
    return 0;
}
