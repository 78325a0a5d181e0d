#include "platform/gpu/vulkan/PipelineCache.h"

#include "platform/foundation/BaseDirectories.h"
#include "platform/foundation/FileReplacement.h"
#include "platform/foundation/RegularFile.h"

#include <glib.h>

#include <cstring>
#include <vector>

namespace gpu::vulkan {

namespace {

// Far more than the few pipelines of the program need; a larger file is not
// one that this program wrote.
constexpr std::size_t kMaximumFileSize = std::size_t{256} << 20;

// A cache whose header names another driver or device would be rejected by
// the driver at best; checking it first keeps such files harmless.
bool fitsDevice(const std::vector<std::uint8_t>& data, const VkPhysicalDeviceProperties& properties) {
    VkPipelineCacheHeaderVersionOne header;
    if (data.size() < sizeof header) return false;
    std::memcpy(&header, data.data(), sizeof header);
    return header.headerSize == sizeof header && header.headerVersion == VK_PIPELINE_CACHE_HEADER_VERSION_ONE &&
           header.vendorID == properties.vendorID && header.deviceID == properties.deviceID &&
           std::memcmp(header.pipelineCacheUUID, properties.pipelineCacheUUID, VK_UUID_SIZE) == 0;
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    if (path.empty()) return {};
    return foundation::readRegularFile(path, kMaximumFileSize).bytes;
}

} // namespace

std::filesystem::path PipelineCache::filePath() {
    const auto root = foundation::cacheHome();
    if (root.empty()) return {};
    return root / "korlan-flow" / "pipeline-cache.bin";
}

PipelineCache::PipelineCache(VkDevice device, const VkPhysicalDeviceProperties& properties) : device_(device) {
    std::vector<std::uint8_t> data = readFile(filePath());
    if (!fitsDevice(data, properties)) data.clear();
    savedSize_ = data.size();
    const VkPipelineCacheCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_PIPELINE_CACHE_CREATE_INFO,
        .initialDataSize = data.size(),
        .pInitialData = data.data(),
    };
    if (vkCreatePipelineCache(device_, &info, nullptr, &cache_) != VK_SUCCESS) cache_ = VK_NULL_HANDLE;
}

PipelineCache::~PipelineCache() {
    if (cache_) vkDestroyPipelineCache(device_, cache_, nullptr);
}

void PipelineCache::save() {
    if (!cache_) return;
    std::lock_guard lock(mutex_);
    std::size_t size = 0;
    if (vkGetPipelineCacheData(device_, cache_, &size, nullptr) != VK_SUCCESS || size == savedSize_) return;
    std::vector<std::uint8_t> data(size);
    if (vkGetPipelineCacheData(device_, cache_, &size, data.data()) != VK_SUCCESS) return;
    const auto path = filePath();
    if (path.empty() || g_mkdir_with_parents(path.parent_path().c_str(), 0700) != 0) return;
    // Not durable: a cache lost to a crash only costs compile time.
    if (foundation::replaceFileContents(path, {data.data(), size}, 0600, false)) savedSize_ = size;
}

} // namespace gpu::vulkan
