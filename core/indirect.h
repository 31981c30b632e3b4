#pragma once
// A value of type T kept on the heap, so that a header can hold one while
// naming T only: copies are deep, comparison is by value, and it is never
// empty (a new one holds a default-constructed T). Its members that need
// the complete type are defined out of line and not inline: a header that
// holds an Indirect<T> of an incomplete T declares
// `extern template class Indirect<T>;` and one .cpp that sees T defines it
// with `template class Indirect<T>;`.
#include <utility>

template <class T>
class Indirect {
public:
    Indirect();
    Indirect(const Indirect& other);
    // Moves the value, not the pointer, so the source is never empty.
    Indirect(Indirect&& other);
    Indirect& operator=(const Indirect& other);
    Indirect& operator=(Indirect&& other);
    ~Indirect();

    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return value_; }
    const T* operator->() const { return value_; }

    bool operator==(const Indirect& other) const;

private:
    T* value_;
};

template <class T>
Indirect<T>::Indirect() : value_(new T())
{
}

template <class T>
Indirect<T>::Indirect(const Indirect& other) : value_(new T(*other.value_))
{
}

template <class T>
Indirect<T>::Indirect(Indirect&& other) : value_(new T(std::move(*other.value_)))
{
}

template <class T>
Indirect<T>& Indirect<T>::operator=(const Indirect& other)
{
    *value_ = *other.value_;
    return *this;
}

template <class T>
Indirect<T>& Indirect<T>::operator=(Indirect&& other)
{
    *value_ = std::move(*other.value_);
    return *this;
}

template <class T>
Indirect<T>::~Indirect()
{
    delete value_;
}

template <class T>
bool Indirect<T>::operator==(const Indirect& other) const
{
    return *value_ == *other.value_;
}
