// Internal: the maps from Win32 handles to framework objects, one per process.
//
// A permanent entry is an object the program made and attached; it lives as
// long as the program says. A temporary entry is a wrapper that FromHandle
// made for a handle nobody attached; it is deleted when the message loop goes
// idle (AfxDeleteTempMaps), so its pointer must not be kept across messages.
#pragma once

#include <unordered_map>

template <typename H, typename T>
class HandleMap {
public:
    void SetPermanent(H h, T* p) { m_permanent[h] = p; }
    void RemovePermanent(H h) { m_permanent.erase(h); }
    T* LookupPermanent(H h) const {
        auto it = m_permanent.find(h);
        return it == m_permanent.end() ? nullptr : it->second;
    }
    T* Lookup(H h) const {
        if (T* p = LookupPermanent(h)) return p;
        auto it = m_temporary.find(h);
        return it == m_temporary.end() ? nullptr : it->second;
    }
    // The permanent object, else a temporary wrapper made by attach(h).
    template <typename MakeTemp>
    T* FromHandle(H h, MakeTemp makeTemp) {
        if (!h) return nullptr;
        if (T* p = Lookup(h)) return p;
        T* p = makeTemp(h);
        m_temporary[h] = p;
        return p;
    }
    // Deletes every temporary wrapper; detach(p) first clears its handle so
    // that the wrapper's destructor leaves the handle alone.
    template <typename Detach>
    void DeleteTemporaries(Detach detach) {
        auto temps = std::move(m_temporary);
        m_temporary.clear();
        for (auto& entry : temps) {
            detach(entry.second);
            delete entry.second;
        }
    }
    size_t PermanentCount() const { return m_permanent.size(); }
    size_t TemporaryCount() const { return m_temporary.size(); }

private:
    std::unordered_map<H, T*> m_permanent;
    std::unordered_map<H, T*> m_temporary;
};
