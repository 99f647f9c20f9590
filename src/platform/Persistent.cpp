#include "platform/Persistent.h"

#include <map>
#include <string>

namespace {
// Function-local so that registration from static initialisers of any library is safe.
std::map<std::string, const RuntimeClass*, std::less<>>& registry()
{
    static std::map<std::string, const RuntimeClass*, std::less<>> classes;
    return classes;
}
} // namespace

const RuntimeClass Persistent::classRecord{"CObject", 0, nullptr, nullptr};

bool RuntimeClass::isDerivedFrom(const RuntimeClass* other) const
{
    for (const RuntimeClass* cls = this; cls; cls = cls->baseClass) {
        if (cls == other)
            return true;
    }
    return false;
}

const RuntimeClass* RuntimeClass::find(std::string_view name)
{
    auto& classes = registry();
    auto it = classes.find(name);
    return it == classes.end() ? nullptr : it->second;
}

void RuntimeClass::add(const RuntimeClass* cls)
{
    registry()[cls->name] = cls;
}

void Persistent::Serialize(Archive&) {}
