#include "Audio/CSSampleHandler.h"

#include "Audio/CSSampleHandlerOGG.h"
#include "Audio/CSSampleHandlerWAV.h"
#include "platform/win32/Interlocked.h"

#include <algorithm>
#include <new>

namespace {
// Newest handler first. Handlers are created and released by the loader thread and the main
// thread, which never run at the same time, so the list is not locked.
CSSampleHandler* g_pCacheHead = nullptr;
}  // namespace

CSSampleHandler::CSSampleHandler(const SampleSourceInfo& info, uint8_t priority, uint8_t looping)
    : m_nReleaseStamp(0),
      m_pReader(nullptr),
      m_nRefCount(1),
      m_Info(info),
      m_Format(),
      m_bReady(false),
      m_nPriority(priority),
      m_bLooping(looping),
      m_pNext(g_pCacheHead) {
    g_pCacheHead = this;
}

CSSampleHandler::~CSSampleHandler() {
    for (CSSampleHandler** link = &g_pCacheHead; *link; link = &(*link)->m_pNext) {
        if (*link == this) {
            *link = m_pNext;
            break;
        }
    }
}

bool CSSampleHandler::Matches(const SampleSourceInfo& info, uint8_t priority, uint8_t looping) const {
    // The path is compared as well as its checksum: two paths with equal checksums must not
    // share a handler.
    return !IsBusy() && m_Info.checksum == info.checksum && m_Info.path == info.path && m_nPriority == priority &&
           m_bLooping == looping;
}

CSSampleHandler* CSSampleHandler::FindOrCreate(const SampleSourceInfo& info, uint8_t priority, uint8_t looping) {
    for (CSSampleHandler* handler = g_pCacheHead; handler; handler = handler->m_pNext) {
        if (handler->Matches(info, priority, looping)) {
            InterlockedIncrement(&handler->m_nRefCount);
            handler->m_nReleaseStamp = 0;
            return handler;
        }
    }
    if (info.format == SAMPLE_FORMAT_OGG) return new (std::nothrow) CSSampleHandlerOGG(info, priority, looping);
    return new (std::nothrow) CSSampleHandlerWAV(info, priority, looping);
}

LONG CSSampleHandler::Release() {
    const LONG count = InterlockedDecrement(&m_nRefCount);
    if (count == 0) m_nReleaseStamp = 0;
    return count;
}

void CSSampleHandler::PurgeUnused() {
    bool deleted = true;
    while (deleted) {
        deleted = false;
        for (CSSampleHandler* handler = g_pCacheHead; handler; handler = handler->m_pNext) {
            if (handler->m_nRefCount == 0) {
                delete handler;
                deleted = true;
                break;
            }
        }
    }
}

CSSampleHandler* CSSampleHandler::GetFirstCached() { return g_pCacheHead; }

bool CSSampleHandler::HasRequestFailed(const void* key) const {
    return std::find(m_arrFailed.begin(), m_arrFailed.end(), key) != m_arrFailed.end();
}

void CSSampleHandler::MarkRequestFailed(const void* key) {
    if (!HasRequestFailed(key)) m_arrFailed.push_back(key);
}

void CSSampleHandler::ClearRequestFailed(const void* key) {
    m_arrFailed.erase(std::remove(m_arrFailed.begin(), m_arrFailed.end(), key), m_arrFailed.end());
}
