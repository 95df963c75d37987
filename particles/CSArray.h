#pragma once
// The particle library's growable array of plain elements: malloc'ed storage that
// grows by a fixed step and keeps its buffer when the count is reset, so per-frame
// filling stops allocating once the working size is reached.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>

template <class T>
class CSArray {
    static_assert(std::is_trivially_copyable<T>::value, "CSArray moves its elements as bytes");

public:
    CSArray() = default;
    // A copy of the elements, in a buffer just large enough, with the same growth step.
    CSArray(const CSArray& other) : m_nGrowBy(other.m_nGrowBy), m_nUnused(other.m_nUnused) {
        if (other.m_nCount == 0) return;
        Reserve(other.m_nCount);
        std::memcpy(static_cast<void*>(m_pData), other.m_pData, sizeof(T) * other.m_nCount);
        m_nCount = other.m_nCount;
    }
    CSArray& operator=(const CSArray&) = delete;
    CSArray(CSArray&& other) noexcept { Take(other); }
    CSArray& operator=(CSArray&& other) noexcept {
        if (this != &other) {
            Free();
            Take(other);
        }
        return *this;
    }
    ~CSArray() { std::free(m_pData); }

    // Capacity becomes n when it is below n; a smaller or equal n changes nothing.
    void Reserve(uint32_t n) {
        if (m_nCapacity >= n) return;
        if (n > SIZE_MAX / sizeof(T)) std::abort();
        T* grown = static_cast<T*>(std::realloc(m_pData, sizeof(T) * n));
        if (grown == nullptr) {
            // A failed reallocation keeps the old block: copy into a fresh one.
            grown = static_cast<T*>(std::malloc(sizeof(T) * n));
            if (grown == nullptr) std::abort();
            if (m_nCount > 0) std::memcpy(grown, m_pData, sizeof(T) * m_nCount);
            std::free(m_pData);
        }
        m_pData = grown;
        m_nCapacity = n;
    }

    // A full array first grows to count + growth step.
    void Append(const T& element) {
        if (m_nCount + 1 > m_nCapacity) Reserve(m_nCount + static_cast<uint32_t>(m_nGrowBy > 0 ? m_nGrowBy : 1));
        m_pData[m_nCount++] = element;
    }

    // Reserves n and zero-fills elements [count, n) before the count becomes n.
    void ResizeZeroed(uint32_t n) {
        Reserve(n);
        if (n > m_nCount) std::memset(static_cast<void*>(m_pData + m_nCount), 0, sizeof(T) * (n - m_nCount));
        m_nCount = n;
    }

    // Count 0; the buffer stays.
    void Reset() { m_nCount = 0; }
    // No buffer, capacity 0, count 0.
    void Free() {
        std::free(m_pData);
        m_pData = nullptr;
        m_nCapacity = 0;
        m_nCount = 0;
    }

    T& operator[](uint32_t i) { return m_pData[i]; }
    const T& operator[](uint32_t i) const { return m_pData[i]; }
    T* GetData() { return m_pData; }
    const T* GetData() const { return m_pData; }
    uint32_t GetCount() const { return m_nCount; }
    uint32_t GetCapacity() const { return m_nCapacity; }
    int32_t GetGrowBy() const { return m_nGrowBy; }
    void SetGrowBy(int32_t step) { m_nGrowBy = step; }
    bool IsEmpty() const { return m_nCount == 0; }

private:
    void Take(CSArray& other) {
        m_nCapacity = std::exchange(other.m_nCapacity, 0u);
        m_nGrowBy = other.m_nGrowBy;
        m_nCount = std::exchange(other.m_nCount, 0u);
        m_nUnused = other.m_nUnused;
        m_pData = std::exchange(other.m_pData, nullptr);
    }

    uint32_t m_nCapacity = 0;
    int32_t m_nGrowBy = 16;
    uint32_t m_nCount = 0;
    int32_t m_nUnused = 4;  // a fourth word of the record that no operation reads
    T* m_pData = nullptr;
};
