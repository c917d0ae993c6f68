// The engine's growable array and its string-keyed map.
//
// nArray holds real arrays of T: every slot up to capacity is constructed and
// elements are copied by T's assignment (deep for owning types, shallow for
// pointers). Growth goes 32, then doubling; with `shrink` set, removals halve
// the storage at a quarter full. Neither container locks.
#pragma once

template <class T>
class nArray {
public:
    constexpr nArray() : items(nullptr), count(0), capacity(0), shrink(false) {}
    nArray(const nArray& other) : items(nullptr), count(0), capacity(0), shrink(false) { Copy(this, &other); }
    nArray& operator=(const nArray& other) {
        if (this != &other) Copy(this, &other);
        return *this;
    }
    ~nArray() { delete[] items; }

    // Appends a copy of item; item may refer into this array's own storage.
    void InsertLast(const T& item) {
        T* old = nullptr;
        if (count >= capacity) old = SizeUp();
        items[count] = item;
        ++count;
        delete[] old;
    }

    // Inserts a copy of item before the first element.
    void InsertFirst(const T& item) {
        T copy = item;
        T* old = nullptr;
        if (count >= capacity) old = SizeUp();
        delete[] old;
        for (int i = count; i > 0; --i) items[i] = items[i - 1];
        items[0] = copy;
        ++count;
    }

    // Removes items[index], moving the later elements down. An index outside
    // 0..count-1 is ignored.
    void RemoveItemAtIndex(int index) {
        if (index < 0 || index >= count) return;
        for (int i = index; i < count - 1; ++i) items[i] = items[i + 1];
        --count;
        if (shrink && count >= 1 && count <= capacity / 4 && items) SetMaximumSize(capacity / 2);
    }

    // Removes the first element equal to item.
    bool RemoveItem(T item) {
        for (int i = 0; i < count; ++i) {
            if (items[i] == item) {
                RemoveItemAtIndex(i);
                return true;
            }
        }
        return false;
    }

    // Sets the capacity to max(size, count).
    void SetMaximumSize(int size) {
        if (size == capacity) return;
        int newCapacity = size > count ? size : count;
        T* storage = new T[newCapacity > 0 ? newCapacity : 1];
        for (int i = 0; i < count; ++i) storage[i] = items[i];
        delete[] items;
        items = storage;
        capacity = newCapacity;
    }

    // One growth step. Returns the old storage, still intact, for the caller
    // to destroy; null when none was replaced.
    T* SizeUp() {
        if (!items) {
            SetMaximumSize(32);
            return nullptr;
        }
        int newCapacity = count == 1 ? 8 : (count + 1 > 2 * capacity ? count + 1 : 2 * capacity);
        if (newCapacity == capacity) return nullptr;
        if (newCapacity < count) newCapacity = count;
        T* storage = new T[newCapacity];
        for (int i = 0; i < count; ++i) storage[i] = items[i];
        T* old = items;
        items = storage;
        capacity = newCapacity;
        return old;
    }

    static void Copy(nArray* destination, const nArray* source) {
        if (destination == source) return;
        if (destination->capacity < source->capacity) {
            delete[] destination->items;
            destination->items = new T[source->capacity];
            destination->capacity = source->capacity;
        }
        destination->count = source->count;
        for (int i = 0; i < source->count; ++i) destination->items[i] = source->items[i];
    }

    T& operator[](int index) { return items[index]; }
    const T& operator[](int index) const { return items[index]; }
    int Count() const { return count; }

    T* items;
    int count;
    int capacity;
    bool shrink;
};
