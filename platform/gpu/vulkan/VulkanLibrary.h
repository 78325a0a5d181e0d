#pragma once

#include "platform/foundation/Error.h"
#include "platform/gpu/Library.h"
#include "platform/gpu/vulkan/LogicalDevice.h"

#include <vulkan/vulkan.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace gpu::vulkan {

// One SPIR-V module holding every entry point of the library.
class VulkanLibrary final : public Library, public std::enable_shared_from_this<VulkanLibrary> {
public:
    // Null with an error when the file cannot be read, is not valid SPIR-V,
    // or the driver refuses it.
    static std::shared_ptr<VulkanLibrary> create(std::shared_ptr<LogicalDevice> logicalDevice,
                                                 const std::filesystem::path& path, foundation::ErrorRef* error);
    ~VulkanLibrary() override;

    std::shared_ptr<Function> newFunctionWithName(const std::string& name) override;
    VkShaderModule module() const { return module_; }

private:
    VulkanLibrary(std::shared_ptr<LogicalDevice> logicalDevice, VkShaderModule module,
                  std::map<std::string, VkShaderStageFlagBits> entryPoints);

    std::shared_ptr<LogicalDevice> logicalDevice_;
    VkShaderModule module_;
    std::map<std::string, VkShaderStageFlagBits> entryPoints_;
};

// An entry point; it keeps its library's module alive for the pipelines
// that are built from it.
class VulkanFunction final : public Function {
public:
    VulkanFunction(std::shared_ptr<const VulkanLibrary> library, std::string name, VkShaderStageFlagBits stage);

    std::string name() const override { return name_; }
    VkShaderStageFlagBits stage() const { return stage_; }
    VkShaderModule module() const { return library_->module(); }

private:
    std::shared_ptr<const VulkanLibrary> library_;
    std::string name_;
    VkShaderStageFlagBits stage_;
};

} // namespace gpu::vulkan
