#pragma once
#include <atomic>
#include <utility>

// Gives a process-wide setting (g_NetType and the like) a value for as long
// as the guard lives, and puts back the value it had when the guard goes,
// whichever way the test leaves: an assertion that fails cannot leak the
// setting into the next test.
template <class T>
class ScopedSetting {
public:
    template <class V>
    ScopedSetting(T& setting, V&& value) : setting_(setting), saved_(setting)
    {
        setting_ = std::forward<V>(value);
    }
    ~ScopedSetting() { setting_ = std::move(saved_); }
    ScopedSetting(const ScopedSetting&) = delete;
    ScopedSetting& operator=(const ScopedSetting&) = delete;

private:
    T& setting_;
    T saved_;
};

template <class T>
class ScopedSetting<std::atomic<T>> {
public:
    ScopedSetting(std::atomic<T>& setting, T value) : setting_(setting), saved_(setting.exchange(value)) {}
    ~ScopedSetting() { setting_.store(saved_); }
    ScopedSetting(const ScopedSetting&) = delete;
    ScopedSetting& operator=(const ScopedSetting&) = delete;

private:
    std::atomic<T>& setting_;
    T saved_;
};

template <class T, class V>
ScopedSetting(T&, V) -> ScopedSetting<T>;
