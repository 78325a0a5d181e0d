#pragma once

#include "platform/gpu/Drawable.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace gpu {

// The presented handlers of one drawable: added on the main thread, run once
// on the thread that learns the frame's fate, each released right after it
// ran. Both lists keep their room, for a drawable handed out again.
class PresentedHandlers {
public:
    void add(Drawable::PresentedHandler handler) {
        if (!handler) return;
        std::lock_guard lock(mutex_);
        handlers_.push_back(std::move(handler));
    }

    // Handlers of a frame never presented go without running.
    void clear() {
        std::lock_guard lock(mutex_);
        handlers_.clear();
    }

    // Called by one thread at a time.
    void run(const std::shared_ptr<Drawable>& drawable) {
        {
            std::lock_guard lock(mutex_);
            running_.swap(handlers_);
        }
        for (auto& handler : running_) {
            handler(drawable);
            handler = nullptr;
        }
        running_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<Drawable::PresentedHandler> handlers_;
    std::vector<Drawable::PresentedHandler> running_;
};

} // namespace gpu
