#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

// An ordered collection of owned entries under text keys. Keys ignore letter case; order is
// insertion order; removal closes the gap. Lookups by key are constant time, so the
// collection holds ten thousand servers as easily as ten.
template <typename T> class KeyedCollection {
    struct Entry {
        QString key;
        std::unique_ptr<T> value;
    };

public:
    struct AddResult {
        T *item = nullptr;  // the entry now under the key
        bool added = false; // false: the key was present and its entry is unchanged
    };

    int Count() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }

    // Adds under `key`; a present key gives back the existing entry and drops `value`.
    AddResult add(const QString &key, std::unique_ptr<T> value) {
        const QString folded = fold(key);
        if (auto it = m_index.constFind(folded); it != m_index.constEnd())
            return {it.value(), false};
        T *raw = value.get();
        m_entries.push_back({key, std::move(value)});
        m_index.insert(folded, raw);
        return {raw, true};
    }
    AddResult add(const QString &key, T value) {
        return add(key, std::make_unique<T>(std::move(value)));
    }

    T *Item(const QString &key) const { return m_index.value(fold(key), nullptr); }
    // 1-based position; nullptr when out of range.
    T *Item(int position) const {
        if (position < 1 || position > Count())
            return nullptr;
        return m_entries[static_cast<size_t>(position - 1)].value.get();
    }
    QString keyAt(int position) const {
        if (position < 1 || position > Count())
            return {};
        return m_entries[static_cast<size_t>(position - 1)].key;
    }
    bool contains(const QString &key) const { return m_index.contains(fold(key)); }

    // Takes the entry out of the collection and hands it to the caller (nullptr when absent).
    std::unique_ptr<T> take(const QString &key) {
        auto it = m_index.find(fold(key));
        if (it == m_index.end())
            return nullptr;
        T *raw = it.value();
        m_index.erase(it);
        for (auto e = m_entries.begin(); e != m_entries.end(); ++e) {
            if (e->value.get() == raw) {
                std::unique_ptr<T> owned = std::move(e->value);
                m_entries.erase(e);
                return owned;
            }
        }
        return nullptr;
    }
    bool remove(const QString &key) { return take(key) != nullptr; }
    void clear() {
        m_index.clear();
        m_entries.clear();
    }

    // Enumeration in collection order, yielding references to the entries.
    class const_iterator {
    public:
        using Inner = typename std::vector<Entry>::const_iterator;
        explicit const_iterator(Inner it)
            : m_it(it) {}
        T &operator*() const { return *m_it->value; }
        T *operator->() const { return m_it->value.get(); }
        const_iterator &operator++() {
            ++m_it;
            return *this;
        }
        bool operator==(const const_iterator &o) const { return m_it == o.m_it; }
        bool operator!=(const const_iterator &o) const { return m_it != o.m_it; }

    private:
        Inner m_it;
    };
    const_iterator begin() const { return const_iterator(m_entries.cbegin()); }
    const_iterator end() const { return const_iterator(m_entries.cend()); }

private:
    static QString fold(const QString &key) { return key.toCaseFolded(); }

    std::vector<Entry> m_entries;
    QHash<QString, T *> m_index;
};
