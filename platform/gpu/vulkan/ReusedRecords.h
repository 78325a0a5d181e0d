#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

namespace gpu::vulkan {

// The records of a frame (a command buffer, a drawable, a render pass)
// made once and handed out again, so that steady drawing makes no object
// and allocates nothing. A record is free once nobody but this list holds
// it: its user let go of it and the work that used it has completed.
template <typename Record>
class ReusedRecords {
public:
    // A free record, or null when every one is out.
    std::shared_ptr<Record> takeFree() const {
        for (const auto& record : records_) {
            if (isFree(record)) return record;
        }
        return nullptr;
    }
    // Made when none is free: the list grows to what is out at once.
    void add(std::shared_ptr<Record> record) { records_.push_back(std::move(record)); }
    // Records still out stay alive with whoever holds them.
    void clear() { records_.clear(); }
    std::size_t size() const { return records_.size(); }

    // Calls the function with every free record.
    template <typename Function>
    void forEachFree(Function&& function) const {
        for (const auto& record : records_) {
            if (isFree(record)) function(*record);
        }
    }
    template <typename Function>
    void forEach(Function&& function) const {
        for (const auto& record : records_) function(*record);
    }

private:
    static bool isFree(const std::shared_ptr<Record>& record) {
        if (record.use_count() != 1) return false;
        // The last one to let go may have done so on another thread: what
        // it wrote is seen from here on.
        std::atomic_thread_fence(std::memory_order_acquire);
        return true;
    }

    std::vector<std::shared_ptr<Record>> records_;
};

} // namespace gpu::vulkan
