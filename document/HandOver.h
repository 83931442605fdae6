#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

// Items handed from one thread to another in order, at most capacity of
// them waiting, so a fast giver does not hold everything twice. The giver
// closes it when done; the taker cancels it when it stops early, which
// makes the giver's next give() fail.
template <typename T>
class HandOver
{
public:
    explicit HandOver(std::size_t capacity) : m_capacity(capacity) {}

    // Waits for room; false once cancelled.
    bool give(T &&item)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_items.size() < m_capacity || m_cancelled; });
        if (m_cancelled)
            return false;
        m_items.push_back(std::move(item));
        m_changed.notify_all();
        return true;
    }
    // Waits for an item; nothing once closed and empty.
    std::optional<T> take()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_items.empty() || m_closed; });
        if (m_items.empty())
            return std::nullopt;
        T item = std::move(m_items.front());
        m_items.pop_front();
        m_changed.notify_all();
        return item;
    }
    void close()
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }
    void cancel()
    {
        const std::lock_guard lock(m_mutex);
        m_cancelled = true;
        m_changed.notify_all();
    }

private:
    const std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<T> m_items;
    bool m_closed = false;
    bool m_cancelled = false;
};
