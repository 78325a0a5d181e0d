#pragma once

#include <vulkan/vulkan.h>

#include <cstddef>
#include <filesystem>
#include <mutex>

namespace gpu::vulkan {

// Compiled pipelines kept between runs in
// $XDG_CACHE_HOME/korlan-flow/pipeline-cache.bin (~/.cache when unset).
// A file written by another driver or device is ignored, and so is anything
// but a regular file of at most 256 MiB; failing to read or write the file
// only costs compile time, so it is never an error.
class PipelineCache {
public:
    PipelineCache(VkDevice device, const VkPhysicalDeviceProperties& properties);
    ~PipelineCache();
    PipelineCache(const PipelineCache&) = delete;
    PipelineCache& operator=(const PipelineCache&) = delete;

    // Empty when there is no cache directory.
    static std::filesystem::path filePath();

    VkPipelineCache handle() const { return cache_; }
    // Writes the cache at once when the new pipeline added to it: the
    // process's device may live until the process ends, and a cache written
    // only then would be lost to a kill.
    void noteNewPipeline() { save(); }
    // Writes the cache atomically when it holds more than the file.
    void save();

private:
    VkDevice device_;
    VkPipelineCache cache_ = VK_NULL_HANDLE;
    std::mutex mutex_;
    std::size_t savedSize_ = 0;
};

} // namespace gpu::vulkan
