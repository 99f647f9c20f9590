#include "platform/StringObMap.h"

#include "platform/Archive.h"

#include <algorithm>

StringObMap::StringObMap(uint32_t hashSize) : buckets_(std::max<uint32_t>(hashSize, 1)) {}

uint32_t StringObMap::hashKey(const QString& key)
{
    uint32_t h = 0;
    for (const char c : key.toUtf8())
        h = (h << 5) + h + uint8_t(c);
    return h;
}

StringObMap::Chain& StringObMap::chainOf(const QString& key)
{
    return buckets_[hashKey(key) % buckets_.size()];
}

const StringObMap::Chain& StringObMap::chainOf(const QString& key) const
{
    return buckets_[hashKey(key) % buckets_.size()];
}

void StringObMap::insert(const QString& key, Persistent* value)
{
    Chain& chain = chainOf(key);
    auto it =
        std::find_if(chain.begin(), chain.end(), [&](const Entry& e) { return e.key == key; });
    if (it != chain.end()) {
        it->value = value;
        return;
    }
    chain.push_back(Entry{key, value});
    ++count_;
}

bool StringObMap::lookup(const QString& key, Persistent*& value) const
{
    const Chain& chain = chainOf(key);
    auto it =
        std::find_if(chain.begin(), chain.end(), [&](const Entry& e) { return e.key == key; });
    if (it == chain.end())
        return false;
    value = it->value;
    return true;
}

Persistent* StringObMap::value(const QString& key) const
{
    Persistent* found = nullptr;
    lookup(key, found);
    return found;
}

bool StringObMap::contains(const QString& key) const
{
    Persistent* found = nullptr;
    return lookup(key, found);
}

bool StringObMap::remove(const QString& key)
{
    Chain& chain = chainOf(key);
    auto it =
        std::find_if(chain.begin(), chain.end(), [&](const Entry& e) { return e.key == key; });
    if (it == chain.end())
        return false;
    chain.erase(it);
    --count_;
    return true;
}

void StringObMap::clear()
{
    for (Chain& chain : buckets_)
        chain.clear();
    count_ = 0;
}

void StringObMap::Serialize(Archive& ar, const RuntimeClass* expected)
{
    if (ar.isStoring()) {
        ar.writeCount(uint32_t(count_));
        for (const Entry& entry : *this) {
            ar.writeString(entry.key);
            ar.writeObject(entry.value);
        }
        return;
    }
    for (uint32_t n = ar.readCount(minEntryBytes); n > 0; --n) {
        const QString key = ar.readString();
        insert(key, ar.readObject(expected));
    }
}

StringObMap::const_iterator::const_iterator(const StringObMap* map, size_t bucket)
    : map_(map), bucket_(bucket)
{
    skipEmpty();
}

StringObMap::const_iterator::reference StringObMap::const_iterator::operator*() const
{
    const Chain& chain = map_->buckets_[bucket_];
    return chain[chain.size() - 1 - link_];
}

StringObMap::const_iterator& StringObMap::const_iterator::operator++()
{
    ++link_;
    skipEmpty();
    return *this;
}

void StringObMap::const_iterator::skipEmpty()
{
    while (bucket_ < map_->buckets_.size() && link_ >= map_->buckets_[bucket_].size()) {
        ++bucket_;
        link_ = 0;
    }
}
