#include "BrowserRegistry.h"

#include <map>

namespace scripted {

namespace {

struct Registry {
    std::recursive_mutex lock;
    std::map<unsigned long, CScriptedBrowser*> browsers;
    unsigned long next = 1;
};

Registry& TheRegistry()
{
    static Registry registry;
    return registry;
}

}  // namespace

std::recursive_mutex& BrowserRegistry::Lock()
{
    return TheRegistry().lock;
}

unsigned long BrowserRegistry::Add(CScriptedBrowser* browser)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::recursive_mutex> hold(registry.lock);
    const unsigned long id = registry.next++;
    registry.browsers[id] = browser;
    return id;
}

void BrowserRegistry::Remove(unsigned long id)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::recursive_mutex> hold(registry.lock);
    registry.browsers.erase(id);
}

CScriptedBrowser* BrowserRegistry::Find(unsigned long id)
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::recursive_mutex> hold(registry.lock);
    auto found = registry.browsers.find(id);
    return found == registry.browsers.end() ? nullptr : found->second;
}

std::vector<unsigned long> BrowserRegistry::Ids()
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::recursive_mutex> hold(registry.lock);
    std::vector<unsigned long> ids;
    for (const auto& entry : registry.browsers)
        ids.push_back(entry.first);
    return ids;
}

}  // namespace scripted
