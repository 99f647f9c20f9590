#pragma once

#include "platform/Archive.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Records of object lists (the page list, the data file list, link group members): an element
// count, then every element as an object reference in list order. Reading appends to what the
// list already holds.
//
// Containers are anything with size(), iteration, push_back() and pop_back() over T* or
// std::unique_ptr<T> (T derived from Persistent). A list of unique_ptr owns what it reads; a list
// of plain pointers only refers to its elements unless it is read with ObListOwnership::owns.
// Owned elements are claimed from the archive, so an element can have only one owner and a load
// that fails half way deletes every element exactly once.

enum class ObListOwnership { references, owns };

namespace obList {
// The smallest element: a 2-byte reference tag.
inline constexpr size_t minElementBytes = 2;

uint32_t readCount(Archive& ar);
void writeCount(Archive& ar, size_t count);
// Lists never hold null: one in a file would crash whoever walks the list later.
void checkElement(const Persistent* element, bool storing);

template <class P> struct Element;
template <class T> struct Element<T*>
{
    using type = T;
    static constexpr bool owning = false;
    static const T* get(const T* p) { return p; }
};
template <class T, class D> struct Element<std::unique_ptr<T, D>>
{
    using type = T;
    static constexpr bool owning = true;
    static const T* get(const std::unique_ptr<T, D>& p) { return p.get(); }
};
} // namespace obList

template <class Container> void writeObList(Archive& ar, const Container& list)
{
    using Element = obList::Element<typename Container::value_type>;
    obList::writeCount(ar, size_t(list.size()));
    for (const auto& element : list) {
        obList::checkElement(Element::get(element), true);
        ar.writeObject(Element::get(element));
    }
}

template <class Container>
void readObList(Archive& ar, Container& list,
                ObListOwnership ownership = ObListOwnership::references)
{
    using Element = obList::Element<typename Container::value_type>;
    using T = typename Element::type;
    const uint32_t count = obList::readCount(ar);
    for (uint32_t i = 0; i < count; ++i) {
        T* element = ar.readObject<T>();
        obList::checkElement(element, false);
        if constexpr (Element::owning) {
            ar.claim(element);
            list.push_back(typename Container::value_type(element));
        } else if (ownership == ObListOwnership::owns) {
            list.push_back(element);
            try {
                ar.claim(element);
            } catch (...) {
                // Not ours after all: the archive still owns it and deletes it.
                list.pop_back();
                throw;
            }
        } else {
            list.push_back(element);
        }
    }
}
