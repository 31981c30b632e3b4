#pragma once
// Boost 1.74's asio needs <utility> ahead of it under C++20; include asio
// only through this header.
#include <utility>
#include <boost/asio.hpp>
