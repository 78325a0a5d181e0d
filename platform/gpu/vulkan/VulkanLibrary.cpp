#include "platform/gpu/vulkan/VulkanLibrary.h"

#include "platform/gpu/vulkan/SpirvEntryPoints.h"
#include "platform/gpu/vulkan/VulkanError.h"

#include "platform/foundation/RegularFile.h"

#include <cstring>
#include <vector>

namespace gpu::vulkan {

namespace {

// The failures of reading a library are no driver results; they count as
// the driver failing to make the module.
constexpr VkResult kUnusableLibrary = VK_ERROR_INITIALIZATION_FAILED;
// Five small programs take some tens of kilobytes.
constexpr std::size_t kMaximumLibrarySize = std::size_t{16} << 20;

std::optional<std::vector<std::uint32_t>> readWords(const std::filesystem::path& path, foundation::ErrorRef* error) {
    const foundation::FileContents contents = foundation::readRegularFile(path, kMaximumLibrarySize);
    if (!contents.wasRead()) {
        reportError(error, vulkanError("Reading the program library", kUnusableLibrary,
                                       path.string() + ": " + contents.reason()));
        return std::nullopt;
    }
    if (contents.bytes.size() % sizeof(std::uint32_t) != 0) {
        reportError(error, vulkanError("Reading the program library", kUnusableLibrary,
                                       path.string() + " is not a whole number of 32-bit words"));
        return std::nullopt;
    }
    std::vector<std::uint32_t> words(contents.bytes.size() / sizeof(std::uint32_t));
    if (!words.empty()) std::memcpy(words.data(), contents.bytes.data(), contents.bytes.size());
    return words;
}

} // namespace

VulkanLibrary::VulkanLibrary(std::shared_ptr<LogicalDevice> logicalDevice, VkShaderModule module,
                             std::map<std::string, VkShaderStageFlagBits> entryPoints)
    : logicalDevice_(std::move(logicalDevice)), module_(module), entryPoints_(std::move(entryPoints)) {}

std::shared_ptr<VulkanLibrary> VulkanLibrary::create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                     const std::filesystem::path& path, foundation::ErrorRef* error) {
    const auto words = readWords(path, error);
    if (!words) return nullptr;
    std::string diagnostic;
    auto entryPoints = readEntryPoints(*words, &diagnostic);
    if (!entryPoints) {
        reportError(error, vulkanError("Validating the program library", kUnusableLibrary,
                                       path.string() + ": " + diagnostic));
        return nullptr;
    }
    const VkShaderModuleCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_SHADER_MODULE_CREATE_INFO,
        .codeSize = words->size() * sizeof(std::uint32_t),
        .pCode = words->data(),
    };
    VkShaderModule module = VK_NULL_HANDLE;
    if (VkResult result = vkCreateShaderModule(logicalDevice->device(), &info, nullptr, &module);
        result != VK_SUCCESS) {
        reportError(error, vulkanError("vkCreateShaderModule", result));
        return nullptr;
    }
    return std::shared_ptr<VulkanLibrary>(new VulkanLibrary(std::move(logicalDevice), module, std::move(*entryPoints)));
}

VulkanLibrary::~VulkanLibrary() { vkDestroyShaderModule(logicalDevice_->device(), module_, nullptr); }

std::shared_ptr<Function> VulkanLibrary::newFunctionWithName(const std::string& name) {
    const auto entryPoint = entryPoints_.find(name);
    if (entryPoint == entryPoints_.end()) return nullptr;
    return std::make_shared<VulkanFunction>(shared_from_this(), name, entryPoint->second);
}

VulkanFunction::VulkanFunction(std::shared_ptr<const VulkanLibrary> library, std::string name,
                               VkShaderStageFlagBits stage)
    : library_(std::move(library)), name_(std::move(name)), stage_(stage) {}

} // namespace gpu::vulkan
