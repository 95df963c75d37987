#pragma once
// A process-wide cache of the particle library: an ordered map from a key (bytes
// compared as they are, letter case included) to an entry with a reference count
// (m_nRefCount) and an idle age (m_nAge, sweeps spent unreferenced). Unreferenced
// entries stay for later requests until a sweep finds them old enough.
#include <cstdint>
#include <map>
#include <string>

// Sweeps an unreferenced entry survives; the next one deletes it.
constexpr int32_t kParticleCacheMaxAge = 512;

template <class T>
class ParticleCache {
public:
    ParticleCache() = default;
    ParticleCache(const ParticleCache&) = delete;
    ParticleCache& operator=(const ParticleCache&) = delete;
    // The cache owns its entries.
    ~ParticleCache() {
        for (auto& entry : m_Entries) delete entry.second;
    }

    T* Find(const std::string& key) const {
        auto found = m_Entries.find(key);
        return found != m_Entries.end() ? found->second : nullptr;
    }
    void Insert(const std::string& key, T* entry) { m_Entries[key] = entry; }
    size_t GetSize() const { return m_Entries.size(); }

    // One sweep: walks the entries in key order; an unreferenced entry is deleted
    // when purging or when its age has reached the limit, and the walk then starts
    // again from the first entry; otherwise it ages by one. Entries before a
    // deleted one are therefore aged again in the same sweep.
    void Sweep(bool purgeAll) {
        bool deleted = true;
        while (deleted) {
            deleted = false;
            for (auto it = m_Entries.begin(); it != m_Entries.end(); ++it) {
                T* entry = it->second;
                if (entry->m_nRefCount != 0) continue;
                if (purgeAll || entry->m_nAge >= kParticleCacheMaxAge) {
                    m_Entries.erase(it);
                    delete entry;
                    deleted = true;
                    break;
                }
                ++entry->m_nAge;
            }
        }
    }

private:
    std::map<std::string, T*> m_Entries;
};
