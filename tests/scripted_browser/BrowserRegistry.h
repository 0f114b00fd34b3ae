#pragma once
// The process-wide list of live browsers that test views look browsers up in. Views never
// hold a reference: they name a browser by its id and find it here under the lock.
#include <mutex>
#include <vector>

namespace scripted {

class CScriptedBrowser;

class BrowserRegistry {
public:
    // Held while a view reads a browser's records, and by a browser while it changes them.
    static std::recursive_mutex& Lock();

    static unsigned long Add(CScriptedBrowser* browser);
    static void Remove(unsigned long id);
    // The browser with that id, or null; only valid while the caller holds the lock.
    static CScriptedBrowser* Find(unsigned long id);
    // Ids of the live browsers in creation order.
    static std::vector<unsigned long> Ids();
};

}  // namespace scripted
