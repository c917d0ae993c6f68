// String-keyed map in insertion order: an nArray of entry pointers searched
// linearly with strcmp. Reading an absent key inserts it with a default value.
#pragma once

#include <cstring>

#include "engine/base/narray.h"
#include "engine/base/nstring.h"

template <class T>
class nMap {
public:
    struct Entry {
        nString key;
        T value{};
    };

    nMap() = default;
    nMap(const nMap& other) { Copy(this, &other); }
    nMap& operator=(const nMap& other) {
        if (this != &other) Copy(this, &other);
        return *this;
    }
    ~nMap() { Clear(); }

    // The value of the first entry with this key; a new default-valued entry
    // is appended on a miss. A null key matches nothing.
    T& operator[](const char* key) {
        Entry* found = Find(key);
        if (found) return found->value;
        Entry* entry = new Entry;
        entry->key = key;
        entries.InsertLast(entry);
        return entry->value;
    }

    // The first entry with this key, or null; never inserts.
    Entry* Find(const char* key) const {
        if (!key) return nullptr;
        for (int i = 0; i < entries.count; ++i) {
            Entry* entry = entries.items[i];
            if (entry->key.text && strcmp(entry->key.text, key) == 0) return entry;
        }
        return nullptr;
    }

    bool Contains(const char* key) const { return Find(key) != nullptr; }

    // Removes the first entry with this key, destroying its key and value
    // (a pointer value's target stays the caller's).
    bool Remove(const char* key) {
        if (!key) return false;
        for (int i = 0; i < entries.count; ++i) {
            Entry* entry = entries.items[i];
            if (entry->key.text && strcmp(entry->key.text, key) == 0) {
                delete entry;
                entries.RemoveItemAtIndex(i);
                return true;
            }
        }
        return false;
    }

    static void Copy(nMap* destination, const nMap* source) {
        if (destination == source) return;
        destination->Clear();
        int wanted = source->entries.count > 0 ? source->entries.count : 0;
        if (destination->entries.capacity != wanted) {
            delete[] destination->entries.items;
            destination->entries.items = wanted ? new Entry*[wanted] : nullptr;
            destination->entries.capacity = wanted;
        }
        for (int i = 0; i < source->entries.count; ++i) {
            const Entry* entry = source->entries.items[i];
            (*destination)[entry->key.text] = entry->value;
        }
    }

    void Clear() {
        for (int i = 0; i < entries.count; ++i) delete entries.items[i];
        entries.count = 0;
    }

    int Count() const { return entries.count; }
    Entry* EntryAt(int index) const { return entries.items[index]; }

    nArray<Entry*> entries;
};
