#pragma once

#include <cstddef>

// Allocations through operator new in the whole process since it started,
// the GPU backend's threads included. Linking HeapAllocations.cpp into a
// benchmark replaces the global operator new to count them.
std::size_t heapAllocations();
