#pragma once

#include <mutex>
#include <utility>

namespace dispatch {

// One-time initialisation: the first caller runs the block; concurrent
// first callers wait until it has finished; later callers return at once.
using OnceToken = std::once_flag;

template <class Block>
void once(OnceToken& token, Block&& block) {
    std::call_once(token, std::forward<Block>(block));
}

} // namespace dispatch
