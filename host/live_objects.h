#pragma once
// The count of this library's live objects, which decides whether it may be unloaded.

#include <atomic>

namespace dravel {

// Objects of this library alive now (instances, windows, class factories, server locks).
std::atomic<int>& LiveObjects();

}  // namespace dravel
