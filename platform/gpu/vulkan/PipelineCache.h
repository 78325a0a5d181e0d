#pragma once

#include <vulkan/vulkan.h>

#include <atomic>
#include <filesystem>

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
    void noteNewPipeline() { changed_ = true; }
    // Writes the cache atomically when pipelines were added since loading.
    void save();

private:
    VkDevice device_;
    VkPipelineCache cache_ = VK_NULL_HANDLE;
    std::atomic<bool> changed_ = false;
};

} // namespace gpu::vulkan
