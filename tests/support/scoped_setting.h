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

// Installs a process-wide hook through its setter (SetModelLog,
// SetLinkReceiverFactory and the like) for as long as the guard lives, then
// installs `restore`: by default the empty hook start-up begins with.
template <class Hook>
class ScopedHook {
public:
    using Setter = void (*)(Hook);
    ScopedHook(Setter set, Hook hook, Hook restore = Hook{}) : set_(set), restore_(std::move(restore))
    {
        set_(std::move(hook));
    }
    ~ScopedHook() { set_(std::move(restore_)); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

private:
    Setter set_;
    Hook restore_;
};

template <class Hook, class V>
ScopedHook(void (*)(Hook), V) -> ScopedHook<Hook>;

// Sets a process-wide value through a setter that returns the value it
// replaced (CSPortOperator::SetScanRoot), and puts that back when it goes.
template <class T>
class ScopedSwap {
public:
    using Setter = T (*)(const T&);
    ScopedSwap(Setter set, const T& value) : set_(set), saved_(set(value)) {}
    ~ScopedSwap() { set_(saved_); }
    ScopedSwap(const ScopedSwap&) = delete;
    ScopedSwap& operator=(const ScopedSwap&) = delete;

    const T& Saved() const { return saved_; }

private:
    Setter set_;
    T saved_;
};
