#pragma once

#include "platform/Persistent.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

class Archive;

// A map from strings to objects (values not owned), laid out as the original framework's string
// map: a fixed number of hash buckets, each a chain with the newest key at its head. Iteration
// runs over the buckets in order and along each chain from its head, which is the order in which
// link groups are written to files; keeping it keeps files written by earlier versions and by
// this one alike. Inserting or removing keys invalidates iterators.
class StringObMap
{
public:
    static constexpr uint32_t defaultHashSize = 17;

    struct Entry
    {
        QString key;
        Persistent* value = nullptr; // not owned
    };

    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using pointer = const Entry*;
        using reference = const Entry&;

        const_iterator() = default;
        reference operator*() const;
        pointer operator->() const { return &**this; }
        const_iterator& operator++();
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const const_iterator& other) const
        {
            return bucket_ == other.bucket_ && link_ == other.link_;
        }

    private:
        friend class StringObMap;
        const_iterator(const StringObMap* map, size_t bucket);
        void skipEmpty();

        const StringObMap* map_ = nullptr;
        size_t bucket_ = 0;
        size_t link_ = 0; // position along the chain, 0 at its head
    };

    explicit StringObMap(uint32_t hashSize = defaultHashSize);

    // A new key goes to the head of its bucket's chain; a key already present keeps its place
    // and takes the new value.
    void insert(const QString& key, Persistent* value);
    // Null when the key is absent.
    Persistent* value(const QString& key) const;
    bool lookup(const QString& key, Persistent*& value) const;
    bool contains(const QString& key) const;
    bool remove(const QString& key);
    void clear();
    qsizetype count() const { return count_; }
    qsizetype size() const { return count_; }
    bool isEmpty() const { return count_ == 0; }
    uint32_t hashSize() const { return uint32_t(buckets_.size()); }

    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, buckets_.size()); }
    template <class F> void forEach(F&& f) const
    {
        for (const Entry& entry : *this)
            f(entry.key, entry.value);
    }

    // Record: count, then every entry's key as an archive string and its value as an object
    // reference, in iteration order. Reading adds the entries to the map; values must be of
    // `expected` or a class derived from it. The values read stay owned by the archive until
    // someone claims them.
    void Serialize(Archive& ar, const RuntimeClass* expected = &Persistent::classRecord);

    // The framework's string hash over the key's 8-bit (UTF-8) bytes: h = h * 33 + byte.
    static uint32_t hashKey(const QString& key);

    // The smallest stored entry: a 1-byte empty key and a 2-byte reference.
    static constexpr size_t minEntryBytes = 3;

private:
    using Chain = std::vector<Entry>; // head at the back, so a new head is a cheap push_back
    Chain& chainOf(const QString& key);
    const Chain& chainOf(const QString& key) const;

    std::vector<Chain> buckets_;
    qsizetype count_ = 0;
};
