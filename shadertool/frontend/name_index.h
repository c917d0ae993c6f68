// A hash index over names that live in an array of their owner's: it holds
// only each name's hash and its array index, and asks the owner whether an
// index holds the name wanted. The owner's array may therefore reallocate,
// and copy its strings, without the index noticing.
#pragma once

#include <cstring>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"

namespace ShaderTool {

class NameIndex {
public:
    NameIndex() = default;
    ~NameIndex() { delete[] slots; }
    NameIndex(const NameIndex&) = delete;
    NameIndex& operator=(const NameIndex&) = delete;

    // FNV-1a over the length bytes of text.
    static unsigned Hash(const char* text, size_t length) {
        unsigned hash = 2166136261u;
        for (size_t i = 0; i < length; ++i) hash = (hash ^ static_cast<unsigned char>(text[i])) * 16777619u;
        return hash;
    }

    // The index with this hash for which holds(index) is true, or -1.
    template <class Holds>
    int Find(unsigned hash, Holds holds) const {
        if (!slots) return -1;
        for (unsigned i = hash & mask; slots[i].index >= 0; i = (i + 1) & mask)
            if (slots[i].hash == hash && holds(slots[i].index)) return slots[i].index;
        return -1;
    }

    // Enters index under hash. The owner enters each name once (it looks
    // the name up first), so a lookup never has two indices to choose from.
    void Insert(unsigned hash, int index) {
        if (2 * (used + 1) > capacity) Grow();
        unsigned i = hash & mask;
        while (slots[i].index >= 0) i = (i + 1) & mask;
        slots[i].hash = hash;
        slots[i].index = index;
        ++used;
    }

    // Forgets every entry. Small storage stays for the next use; a large one
    // goes, so that one big use does not make every later clearing slow.
    void Clear() {
        used = 0;
        if (capacity > kKeptCapacity) {
            delete[] slots;
            slots = nullptr;
            capacity = mask = 0;
            return;
        }
        for (unsigned i = 0; i < capacity; ++i) slots[i].index = -1;
    }

    int Count() const { return static_cast<int>(used); }

private:
    struct Slot {
        unsigned hash;
        int index;
    };
    static const unsigned kKeptCapacity = 1024;

    void Grow() {
        Slot* old = slots;
        unsigned old_capacity = capacity;
        capacity = capacity ? 2 * capacity : 16;
        mask = capacity - 1;
        slots = new Slot[capacity];
        for (unsigned i = 0; i < capacity; ++i) slots[i].index = -1;
        used = 0;
        for (unsigned i = 0; i < old_capacity; ++i)
            if (old[i].index >= 0) Insert(old[i].hash, old[i].index);
        delete[] old;
    }

    Slot* slots = nullptr;
    unsigned capacity = 0;
    unsigned mask = 0;
    unsigned used = 0;
};

// A set of names, hashed; it keeps copies of the names.
class NameSet {
public:
    NameSet() = default;
    // The words of a list that ends in a null entry.
    explicit NameSet(const char* const* words) {
        for (; words && *words; ++words) Insert(*words);
    }
    NameSet(const char* const* words, int count) {
        for (int i = 0; i < count; ++i) Insert(words[i]);
    }
    NameSet(const NameSet&) = delete;
    NameSet& operator=(const NameSet&) = delete;

    bool Contains(const char* name) const { return name && Find(name, strlen(name)) >= 0; }
    // Whether the first length characters of name are in the set.
    bool Contains(const char* name, size_t length) const { return name && Find(name, length) >= 0; }
    void Insert(const char* name) {
        if (!name || Contains(name)) return;
        names.InsertLast(nString(name));
        index.Insert(NameIndex::Hash(name, strlen(name)), names.count - 1);
    }

private:
    int Find(const char* name, size_t length) const {
        return index.Find(NameIndex::Hash(name, length), [&](int i) {
            const char* candidate = names[i].c_str();
            return strncmp(candidate, name, length) == 0 && candidate[length] == '\0';
        });
    }

    nArray<nString> names;
    NameIndex index;
};

}  // namespace ShaderTool
