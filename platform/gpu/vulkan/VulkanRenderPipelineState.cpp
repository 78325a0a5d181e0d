#include "platform/gpu/vulkan/VulkanRenderPipelineState.h"

#include "platform/gpu/vulkan/PixelFormats.h"
#include "platform/gpu/vulkan/VulkanError.h"
#include "platform/gpu/vulkan/VulkanLibrary.h"

#include <array>

namespace gpu::vulkan {

namespace {

constexpr const char* kOperation = "vkCreateGraphicsPipelines";

VkBlendOp vulkanBlendOperation(BlendOperation operation) {
    switch (operation) {
    case BlendOperation::Add: return VK_BLEND_OP_ADD;
    case BlendOperation::Subtract: return VK_BLEND_OP_SUBTRACT;
    case BlendOperation::ReverseSubtract: return VK_BLEND_OP_REVERSE_SUBTRACT;
    case BlendOperation::Min: return VK_BLEND_OP_MIN;
    case BlendOperation::Max: return VK_BLEND_OP_MAX;
    }
    return VK_BLEND_OP_ADD;
}

VkBlendFactor vulkanBlendFactor(BlendFactor factor) {
    switch (factor) {
    case BlendFactor::Zero: return VK_BLEND_FACTOR_ZERO;
    case BlendFactor::One: return VK_BLEND_FACTOR_ONE;
    case BlendFactor::SourceColor: return VK_BLEND_FACTOR_SRC_COLOR;
    case BlendFactor::OneMinusSourceColor: return VK_BLEND_FACTOR_ONE_MINUS_SRC_COLOR;
    case BlendFactor::SourceAlpha: return VK_BLEND_FACTOR_SRC_ALPHA;
    case BlendFactor::OneMinusSourceAlpha: return VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::DestinationColor: return VK_BLEND_FACTOR_DST_COLOR;
    case BlendFactor::OneMinusDestinationColor: return VK_BLEND_FACTOR_ONE_MINUS_DST_COLOR;
    case BlendFactor::DestinationAlpha: return VK_BLEND_FACTOR_DST_ALPHA;
    case BlendFactor::OneMinusDestinationAlpha: return VK_BLEND_FACTOR_ONE_MINUS_DST_ALPHA;
    }
    return VK_BLEND_FACTOR_ONE;
}

VkPipelineColorBlendAttachmentState blendState(const RenderPipelineColorAttachmentDescriptor& attachment) {
    return {
        .blendEnable = attachment.blendingEnabled ? VK_TRUE : VK_FALSE,
        .srcColorBlendFactor = vulkanBlendFactor(attachment.sourceRGBBlendFactor),
        .dstColorBlendFactor = vulkanBlendFactor(attachment.destinationRGBBlendFactor),
        .colorBlendOp = vulkanBlendOperation(attachment.rgbBlendOperation),
        .srcAlphaBlendFactor = vulkanBlendFactor(attachment.sourceAlphaBlendFactor),
        .dstAlphaBlendFactor = vulkanBlendFactor(attachment.destinationAlphaBlendFactor),
        .alphaBlendOp = vulkanBlendOperation(attachment.alphaBlendOperation),
        .colorWriteMask = VK_COLOR_COMPONENT_R_BIT | VK_COLOR_COMPONENT_G_BIT | VK_COLOR_COMPONENT_B_BIT |
                          VK_COLOR_COMPONENT_A_BIT,
    };
}

// The function as the stage it must be, or null.
const VulkanFunction* stageFunction(const std::shared_ptr<Function>& function, VkShaderStageFlagBits stage) {
    const auto* vulkanFunction = dynamic_cast<const VulkanFunction*>(function.get());
    return vulkanFunction && vulkanFunction->stage() == stage ? vulkanFunction : nullptr;
}

VkPipelineShaderStageCreateInfo stageInfo(const VulkanFunction& function, const std::string& name) {
    return {
        .sType = VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO,
        .stage = function.stage(),
        .module = function.module(),
        .pName = name.c_str(),
    };
}

// The fixed-function state every pipeline shares: triangle lists, no
// culling, one sample, viewport and scissor set at draw time.
struct FixedState {
    VkPipelineVertexInputStateCreateInfo vertexInput{.sType = VK_STRUCTURE_TYPE_PIPELINE_VERTEX_INPUT_STATE_CREATE_INFO};
    VkPipelineInputAssemblyStateCreateInfo inputAssembly{
        .sType = VK_STRUCTURE_TYPE_PIPELINE_INPUT_ASSEMBLY_STATE_CREATE_INFO,
        .topology = VK_PRIMITIVE_TOPOLOGY_TRIANGLE_LIST,
    };
    VkPipelineViewportStateCreateInfo viewport{
        .sType = VK_STRUCTURE_TYPE_PIPELINE_VIEWPORT_STATE_CREATE_INFO,
        .viewportCount = 1,
        .scissorCount = 1,
    };
    VkPipelineRasterizationStateCreateInfo rasterization{
        .sType = VK_STRUCTURE_TYPE_PIPELINE_RASTERIZATION_STATE_CREATE_INFO,
        .polygonMode = VK_POLYGON_MODE_FILL,
        .cullMode = VK_CULL_MODE_NONE,
        .frontFace = VK_FRONT_FACE_COUNTER_CLOCKWISE,
        .lineWidth = 1.0f,
    };
    VkPipelineMultisampleStateCreateInfo multisample{
        .sType = VK_STRUCTURE_TYPE_PIPELINE_MULTISAMPLE_STATE_CREATE_INFO,
        .rasterizationSamples = VK_SAMPLE_COUNT_1_BIT,
    };
    std::array<VkDynamicState, 2> dynamicStates{VK_DYNAMIC_STATE_VIEWPORT, VK_DYNAMIC_STATE_SCISSOR};
    VkPipelineDynamicStateCreateInfo dynamic{
        .sType = VK_STRUCTURE_TYPE_PIPELINE_DYNAMIC_STATE_CREATE_INFO,
        .dynamicStateCount = static_cast<std::uint32_t>(dynamicStates.size()),
        .pDynamicStates = dynamicStates.data(),
    };
};

} // namespace

VulkanRenderPipelineState::VulkanRenderPipelineState(std::shared_ptr<LogicalDevice> logicalDevice, std::string label,
                                                     VkPipeline pipeline)
    : logicalDevice_(std::move(logicalDevice)), label_(std::move(label)), pipeline_(pipeline) {}

std::shared_ptr<VulkanRenderPipelineState>
VulkanRenderPipelineState::create(std::shared_ptr<LogicalDevice> logicalDevice,
                                  const RenderPipelineDescriptor& descriptor, foundation::ErrorRef* error) {
    const auto* vertex = stageFunction(descriptor.vertexFunction, VK_SHADER_STAGE_VERTEX_BIT);
    const auto* fragment = stageFunction(descriptor.fragmentFunction, VK_SHADER_STAGE_FRAGMENT_BIT);
    if (!vertex || !fragment) {
        reportError(error, vulkanError(kOperation, VK_ERROR_INITIALIZATION_FAILED,
                                       "a vertex and a fragment function are needed"));
        return nullptr;
    }
    const auto& attachment = descriptor.colorAttachments[0];
    VkFormat format = vulkanFormat(attachment.pixelFormat);
    if (format == VK_FORMAT_UNDEFINED) {
        reportError(error, vulkanError(kOperation, VK_ERROR_FORMAT_NOT_SUPPORTED,
                                       "colour attachment 0 has no valid pixel format"));
        return nullptr;
    }

    const std::string vertexName = vertex->name();
    const std::string fragmentName = fragment->name();
    const std::array stages = {stageInfo(*vertex, vertexName), stageInfo(*fragment, fragmentName)};
    const FixedState fixed;
    const auto blend = blendState(attachment);
    const VkPipelineColorBlendStateCreateInfo colorBlend{
        .sType = VK_STRUCTURE_TYPE_PIPELINE_COLOR_BLEND_STATE_CREATE_INFO,
        .attachmentCount = 1,
        .pAttachments = &blend,
    };
    const VkPipelineRenderingCreateInfo rendering{
        .sType = VK_STRUCTURE_TYPE_PIPELINE_RENDERING_CREATE_INFO,
        .colorAttachmentCount = 1,
        .pColorAttachmentFormats = &format,
    };
    const VkGraphicsPipelineCreateInfo info{
        .sType = VK_STRUCTURE_TYPE_GRAPHICS_PIPELINE_CREATE_INFO,
        .pNext = &rendering,
        .stageCount = static_cast<std::uint32_t>(stages.size()),
        .pStages = stages.data(),
        .pVertexInputState = &fixed.vertexInput,
        .pInputAssemblyState = &fixed.inputAssembly,
        .pViewportState = &fixed.viewport,
        .pRasterizationState = &fixed.rasterization,
        .pMultisampleState = &fixed.multisample,
        .pColorBlendState = &colorBlend,
        .pDynamicState = &fixed.dynamic,
        .layout = logicalDevice->pipelineLayout(),
    };

    VkPipeline pipeline = VK_NULL_HANDLE;
    PipelineCache& cache = logicalDevice->pipelineCache();
    if (VkResult result =
            vkCreateGraphicsPipelines(logicalDevice->device(), cache.handle(), 1, &info, nullptr, &pipeline);
        result != VK_SUCCESS) {
        reportError(error, vulkanError(kOperation, result));
        return nullptr;
    }
    cache.noteNewPipeline();
    return std::shared_ptr<VulkanRenderPipelineState>(
        new VulkanRenderPipelineState(std::move(logicalDevice), descriptor.label, pipeline));
}

VulkanRenderPipelineState::~VulkanRenderPipelineState() {
    vkDestroyPipeline(logicalDevice_->device(), pipeline_, nullptr);
}

} // namespace gpu::vulkan
