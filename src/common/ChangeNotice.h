#pragma once

#include <functional>
#include <utility>

// Tells one listener that something worth keeping on disk has changed. The objects the
// preferences file is written from call it after each change of what the file holds.
class ChangeNotice {
public:
    void listen(std::function<void()> listener) { m_listener = std::move(listener); }
    void operator()() const {
        if (m_listener)
            m_listener();
    }

    // Sets `member` to `value`, telling the listener only when that is a change.
    template <typename T, typename V> void update(T &member, V &&value) const {
        if (member == value)
            return;
        member = std::forward<V>(value);
        (*this)();
    }

private:
    std::function<void()> m_listener;
};
