#include "platform/gpu/vulkan/SpirvEntryPoints.h"

#include <spirv-tools/libspirv.h>

#include <memory>

namespace gpu::vulkan {

namespace {

// SPIR-V's own numbers: the opcode of OpEntryPoint and its
// execution models for the two stages a render pipeline has.
constexpr std::uint16_t kOpEntryPoint = 15;
constexpr std::uint32_t kExecutionModelVertex = 0;
constexpr std::uint32_t kExecutionModelFragment = 4;

using EntryPoints = std::map<std::string, VkShaderStageFlagBits>;
using Context = std::unique_ptr<spv_context_t, decltype(&spvContextDestroy)>;
using Diagnostic = std::unique_ptr<spv_diagnostic_t, decltype(&spvDiagnosticDestroy)>;

std::optional<VkShaderStageFlagBits> stageOf(std::uint32_t executionModel) {
    if (executionModel == kExecutionModelVertex) return VK_SHADER_STAGE_VERTEX_BIT;
    if (executionModel == kExecutionModelFragment) return VK_SHADER_STAGE_FRAGMENT_BIT;
    return std::nullopt;
}

// OpEntryPoint: execution model, function id, name, interface ids.
spv_result_t collectEntryPoint(void* entryPoints, const spv_parsed_instruction_t* instruction) {
    if (instruction->opcode != kOpEntryPoint || instruction->num_operands < 3) return SPV_SUCCESS;
    const auto stage = stageOf(instruction->words[instruction->operands[0].offset]);
    if (!stage) return SPV_SUCCESS;
    const auto* name = reinterpret_cast<const char*>(instruction->words + instruction->operands[2].offset);
    static_cast<EntryPoints*>(entryPoints)->emplace(name, *stage);
    return SPV_SUCCESS;
}

std::string describe(const spv_diagnostic& diagnostic) {
    return diagnostic && diagnostic->error ? diagnostic->error : "not a SPIR-V module";
}

} // namespace

std::optional<EntryPoints> readEntryPoints(std::span<const std::uint32_t> words, std::string* diagnostic) {
    Context context(spvContextCreate(SPV_ENV_VULKAN_1_3), &spvContextDestroy);
    spv_diagnostic validation = nullptr;
    const spv_result_t valid = spvValidateBinary(context.get(), words.data(), words.size(), &validation);
    const Diagnostic owned(validation, &spvDiagnosticDestroy);
    if (valid != SPV_SUCCESS) {
        *diagnostic = describe(validation);
        return std::nullopt;
    }
    EntryPoints entryPoints;
    spvBinaryParse(context.get(), &entryPoints, words.data(), words.size(), nullptr, &collectEntryPoint, nullptr);
    return entryPoints;
}

} // namespace gpu::vulkan
