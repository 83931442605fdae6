#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

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

// Runs give on a thread of its own, handing items over to take on the
// calling thread, in order, with at most capacity waiting. give stops when a
// HandOver::give fails: take has left early (it threw), and the thread ends
// before this does. An exception from give is thrown here once take has had
// everything given before it.
template <typename T, typename Give, typename Take>
void handOverAside(std::size_t capacity, Give &&give, Take &&take)
{
    HandOver<T> items(capacity);
    std::exception_ptr error;
    std::thread giver([&items, &error, &give] {
        try {
            give(items);
        } catch (...) {
            error = std::current_exception();
        }
        items.close();
    });
    struct Join {
        HandOver<T> &items;
        std::thread &thread;
        ~Join()
        {
            items.cancel();
            if (thread.joinable())
                thread.join();
        }
    } join{items, giver};
    while (std::optional<T> item = items.take())
        take(std::move(*item));
    giver.join();
    if (error)
        std::rethrow_exception(error);
}
