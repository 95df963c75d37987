#include "shell/ToolBackground.h"

#include "shell/ToolString.h"

#include <new>

CToolBackground::CToolBackground() : m_bInit(false), m_pAPI(nullptr) {}

CToolBackground::~CToolBackground() {
    delete m_pAPI;
    m_pAPI = nullptr;
    m_bInit = false;
}

int CToolBackground::Init(const void* /*context*/, bool /*rotate*/, CToolString* error) {
    delete m_pAPI;
    m_pAPI = new (std::nothrow) char(0);
    if (m_pAPI == nullptr) {
        if (error != nullptr) *error = "Error: Insufficient memory to allocate SToolBackgroundAPI.";
        return 1;
    }
    return 0;
}
