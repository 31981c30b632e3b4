#pragma once
#include <exception>

namespace qz::vok {

// The library's exception: a code and no message of its own.
class sx_except : public std::exception {
public:
    explicit sx_except(int code) : code_(code) {}
    int code() const noexcept { return code_; }

private:
    int code_;
};

// Thrown by accessors that need an open file or a loaded header.
constexpr int kSxNotOpen = 7;

} // namespace qz::vok
