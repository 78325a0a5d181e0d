#pragma once

#include "platform/gpu/Drawable.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace gpu {

// The presented handlers of one drawable: added on the main thread, run once
// on the thread that learns the frame's fate, each released right after it
// ran.
class PresentedHandlers {
public:
    void add(Drawable::PresentedHandler handler) {
        if (!handler) return;
        std::lock_guard lock(mutex_);
        handlers_.push_back(std::move(handler));
    }

    void run(const std::shared_ptr<Drawable>& drawable) {
        std::vector<Drawable::PresentedHandler> handlers;
        {
            std::lock_guard lock(mutex_);
            handlers.swap(handlers_);
        }
        for (auto& handler : handlers) {
            handler(drawable);
            handler = nullptr;
        }
    }

private:
    std::mutex mutex_;
    std::vector<Drawable::PresentedHandler> handlers_;
};

} // namespace gpu
