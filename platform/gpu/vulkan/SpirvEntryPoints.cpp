#include "platform/gpu/vulkan/SpirvEntryPoints.h"

#include "platform/gpu/RenderCommandEncoder.h"
#include "platform/gpu/vulkan/LogicalDevice.h"

#include <spirv-tools/libspirv.h>
#include <spirv/unified1/spirv.hpp>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

namespace gpu::vulkan {

namespace {

using EntryPoints = std::map<std::string, VkShaderStageFlagBits>;
using Context = std::unique_ptr<spv_context_t, decltype(&spvContextDestroy)>;
using Diagnostic = std::unique_ptr<spv_diagnostic_t, decltype(&spvDiagnosticDestroy)>;
using Id = std::uint32_t;
using Words = std::vector<std::uint32_t>;

// From SPIR-V 1.4 on, an entry point lists every global it uses, and the
// validator holds it to that; before, it lists its inputs and outputs only.
constexpr std::uint32_t kVersionListingAllGlobals = 0x00010400;

// The byte range of push constants each stage may use in the one layout.
struct ByteRange {
    std::uint32_t begin, end;
};
constexpr ByteRange kVertexPushConstants{kVertexPushConstantsOffset,
                                         kVertexPushConstantsOffset + static_cast<std::uint32_t>(kMaxVertexBytes)};
constexpr ByteRange kFragmentPushConstants{kFragmentPushConstantsOffset,
                                           kFragmentPushConstantsOffset + kFragmentPushConstantsSize};

struct EntryPoint {
    spv::ExecutionModel model;
    std::string name;
    std::vector<Id> interface;
};

struct Variable {
    Id pointerType;
    spv::StorageClass storageClass;
};

// What the checks need of a module: its entry points, the global variables,
// the instructions that declare types and constants, and the decorations.
struct ModuleFacts {
    std::uint32_t version = 0;
    std::vector<EntryPoint> entryPoints;
    std::map<Id, Variable> variables;
    std::map<Id, Words> declarations;
    std::map<std::pair<Id, spv::Decoration>, std::uint32_t> decorations;
    std::map<std::tuple<Id, std::uint32_t, spv::Decoration>, std::uint32_t> memberDecorations;
};

spv_result_t noteVersion(void* facts, spv_endianness_t, std::uint32_t, std::uint32_t version, std::uint32_t,
                         std::uint32_t, std::uint32_t) {
    static_cast<ModuleFacts*>(facts)->version = version;
    return SPV_SUCCESS;
}

std::string stringOperand(const spv_parsed_instruction_t& instruction, std::size_t operand) {
    return reinterpret_cast<const char*>(instruction.words + instruction.operands[operand].offset);
}

void noteEntryPoint(ModuleFacts& facts, const spv_parsed_instruction_t& instruction) {
    EntryPoint entryPoint{static_cast<spv::ExecutionModel>(instruction.words[1]), stringOperand(instruction, 2), {}};
    for (std::size_t operand = 3; operand < instruction.num_operands; ++operand) {
        entryPoint.interface.push_back(instruction.words[instruction.operands[operand].offset]);
    }
    facts.entryPoints.push_back(std::move(entryPoint));
}

bool declaresTypeOrConstant(spv::Op opcode) {
    switch (opcode) {
    case spv::OpTypeInt:
    case spv::OpTypeFloat:
    case spv::OpTypeVector:
    case spv::OpTypeMatrix:
    case spv::OpTypeImage:
    case spv::OpTypeSampler:
    case spv::OpTypeArray:
    case spv::OpTypeStruct:
    case spv::OpTypePointer:
    case spv::OpConstant: return true;
    default: return false;
    }
}

spv_result_t noteInstruction(void* user, const spv_parsed_instruction_t* instruction) {
    auto& facts = *static_cast<ModuleFacts*>(user);
    const std::uint32_t* words = instruction->words;
    switch (static_cast<spv::Op>(instruction->opcode)) {
    case spv::OpEntryPoint: noteEntryPoint(facts, *instruction); break;
    case spv::OpVariable:
        facts.variables[words[2]] = {words[1], static_cast<spv::StorageClass>(words[3])};
        break;
    case spv::OpDecorate:
        if (instruction->num_words > 3) facts.decorations[{words[1], spv::Decoration(words[2])}] = words[3];
        break;
    case spv::OpMemberDecorate:
        if (instruction->num_words > 4) facts.memberDecorations[{words[1], words[2], spv::Decoration(words[3])}] = words[4];
        break;
    default:
        if (declaresTypeOrConstant(static_cast<spv::Op>(instruction->opcode))) {
            facts.declarations[instruction->result_id] = Words(words, words + instruction->num_words);
        }
    }
    return SPV_SUCCESS;
}

std::optional<std::uint32_t> decoration(const ModuleFacts& facts, Id target, spv::Decoration which) {
    const auto found = facts.decorations.find({target, which});
    if (found == facts.decorations.end()) return std::nullopt;
    return found->second;
}

const Words* declaration(const ModuleFacts& facts, Id id) {
    const auto found = facts.declarations.find(id);
    return found == facts.declarations.end() ? nullptr : &found->second;
}

spv::Op opcodeOf(const Words* declared) {
    return declared ? static_cast<spv::Op>(declared->front() & spv::OpCodeMask) : spv::OpNop;
}

// The type a pointer points to.
Id pointee(const ModuleFacts& facts, Id pointerType) {
    const Words* pointer = declaration(facts, pointerType);
    return opcodeOf(pointer) == spv::OpTypePointer ? (*pointer)[3] : 0;
}

std::optional<std::uint32_t> byteSize(const ModuleFacts& facts, Id type, std::uint32_t matrixStride);

// One past the last byte a block's members reach; nullopt when a member's
// size is not plain data.
std::optional<std::uint32_t> structEnd(const ModuleFacts& facts, Id structType, std::uint32_t* begin = nullptr) {
    const Words& members = *declaration(facts, structType);
    if (begin) *begin = std::numeric_limits<std::uint32_t>::max();
    std::uint32_t end = 0;
    for (std::uint32_t member = 0; member + 2 < members.size(); ++member) {
        const auto offset = facts.memberDecorations.find({structType, member, spv::DecorationOffset});
        const auto stride = facts.memberDecorations.find({structType, member, spv::DecorationMatrixStride});
        const auto size = byteSize(facts, members[member + 2], stride == facts.memberDecorations.end() ? 0 : stride->second);
        if (offset == facts.memberDecorations.end() || !size) return std::nullopt;
        if (begin) *begin = std::min(*begin, offset->second);
        end = std::max(end, offset->second + *size);
    }
    return end;
}

std::optional<std::uint32_t> arrayLength(const ModuleFacts& facts, Id constant) {
    const Words* declared = declaration(facts, constant);
    if (opcodeOf(declared) != spv::OpConstant || declared->size() < 4) return std::nullopt;
    return (*declared)[3];
}

// The bytes a value of the type takes in a block laid out by its
// decorations; nullopt for anything that cannot be a push constant.
std::optional<std::uint32_t> byteSize(const ModuleFacts& facts, Id type, std::uint32_t matrixStride) {
    const Words* declared = declaration(facts, type);
    switch (opcodeOf(declared)) {
    case spv::OpTypeInt:
    case spv::OpTypeFloat: return (*declared)[2] / 8;
    case spv::OpTypeVector: {
        const auto component = byteSize(facts, (*declared)[2], 0);
        return component ? std::optional(*component * (*declared)[3]) : std::nullopt;
    }
    case spv::OpTypeMatrix: {
        const Words* column = declaration(facts, (*declared)[2]);
        if (matrixStride == 0 || opcodeOf(column) != spv::OpTypeVector) return std::nullopt;
        // Column- or row-major, the stride steps over one of the two counts;
        // the larger one never underestimates.
        return matrixStride * std::max((*declared)[3], (*column)[3]);
    }
    case spv::OpTypeArray: {
        const auto element = byteSize(facts, (*declared)[2], matrixStride);
        const auto length = arrayLength(facts, (*declared)[3]);
        const auto stride = decoration(facts, type, spv::DecorationArrayStride);
        if (!element || !length || !stride || *length == 0) return std::nullopt;
        return (*length - 1) * *stride + *element;
    }
    case spv::OpTypeStruct: return structEnd(facts, type);
    default: return std::nullopt;
    }
}

std::optional<VkShaderStageFlagBits> stageOf(spv::ExecutionModel model) {
    if (model == spv::ExecutionModelVertex) return VK_SHADER_STAGE_VERTEX_BIT;
    if (model == spv::ExecutionModelFragment) return VK_SHADER_STAGE_FRAGMENT_BIT;
    return std::nullopt;
}

// The renderer names its programs after their stage: flowVertex,
// logoFragment. A name that says one stage on a program of another would
// make a pipeline the driver cannot build.
std::optional<std::string> checkStageAgainstName(const EntryPoint& entryPoint) {
    const auto stage = stageOf(entryPoint.model);
    if (entryPoint.name.ends_with("Vertex") && stage != VK_SHADER_STAGE_VERTEX_BIT) return "is not a vertex program";
    if (entryPoint.name.ends_with("Fragment") && stage != VK_SHADER_STAGE_FRAGMENT_BIT) {
        return "is not a fragment program";
    }
    return std::nullopt;
}

// Set 0 holds a sampled image at binding 0 and a sampler at binding 1, both
// for the fragment stage only.
std::optional<std::string> checkDescriptor(const ModuleFacts& facts, Id variable, Id type, spv::ExecutionModel model) {
    const auto set = decoration(facts, variable, spv::DecorationDescriptorSet);
    const auto binding = decoration(facts, variable, spv::DecorationBinding);
    if (set != 0u || !binding) return "uses a descriptor outside set 0";
    if (model != spv::ExecutionModelFragment) return "uses descriptors outside the fragment stage";
    const Words* declared = declaration(facts, type);
    const bool sampledImage = opcodeOf(declared) == spv::OpTypeImage && (*declared)[7] == 1;
    const bool sampler = opcodeOf(declared) == spv::OpTypeSampler;
    if ((*binding == kSampledImageBinding && sampledImage) || (*binding == kSamplerBinding && sampler)) {
        return std::nullopt;
    }
    return "uses binding " + std::to_string(*binding) + " for something the layout does not hold there";
}

std::optional<std::string> checkPushConstants(const ModuleFacts& facts, Id type, spv::ExecutionModel model) {
    const ByteRange allowed = model == spv::ExecutionModelVertex ? kVertexPushConstants : kFragmentPushConstants;
    std::uint32_t begin = 0;
    const auto end = opcodeOf(declaration(facts, type)) == spv::OpTypeStruct ? structEnd(facts, type, &begin)
                                                                              : std::nullopt;
    if (end && begin >= allowed.begin && *end <= allowed.end) return std::nullopt;
    return "uses push constants outside bytes " + std::to_string(allowed.begin) + " to " +
           std::to_string(allowed.end);
}

std::optional<std::string> checkVariable(const ModuleFacts& facts, Id id, spv::ExecutionModel model) {
    const auto variable = facts.variables.find(id);
    if (variable == facts.variables.end()) return std::nullopt;
    const Id type = pointee(facts, variable->second.pointerType);
    switch (variable->second.storageClass) {
    case spv::StorageClassUniformConstant:
    case spv::StorageClassUniform:
    case spv::StorageClassStorageBuffer: return checkDescriptor(facts, id, type, model);
    case spv::StorageClassPushConstant: return checkPushConstants(facts, type, model);
    default: return std::nullopt;
    }
}

// The globals an entry point uses: its interface, or, where the module is too
// old to list them all there, every global of the module.
std::vector<Id> globalsUsedBy(const ModuleFacts& facts, const EntryPoint& entryPoint) {
    if (facts.version >= kVersionListingAllGlobals) return entryPoint.interface;
    std::vector<Id> all;
    for (const auto& [id, variable] : facts.variables) all.push_back(id);
    return all;
}

std::optional<std::string> checkEntryPoint(const ModuleFacts& facts, const EntryPoint& entryPoint) {
    if (auto problem = checkStageAgainstName(entryPoint)) return problem;
    for (const Id id : globalsUsedBy(facts, entryPoint)) {
        if (auto problem = checkVariable(facts, id, entryPoint.model)) return problem;
    }
    return std::nullopt;
}

std::string describe(const spv_diagnostic& diagnostic) {
    return diagnostic && diagnostic->error ? diagnostic->error : "not a SPIR-V module";
}

bool isValid(const Context& context, std::span<const std::uint32_t> words, std::string* diagnostic) {
    spv_diagnostic validation = nullptr;
    const spv_result_t valid = spvValidateBinary(context.get(), words.data(), words.size(), &validation);
    const Diagnostic owned(validation, &spvDiagnosticDestroy);
    if (valid != SPV_SUCCESS) *diagnostic = describe(validation);
    return valid == SPV_SUCCESS;
}

} // namespace

std::optional<EntryPoints> readEntryPoints(std::span<const std::uint32_t> words, std::string* diagnostic) {
    const Context context(spvContextCreate(SPV_ENV_VULKAN_1_3), &spvContextDestroy);
    if (!isValid(context, words, diagnostic)) return std::nullopt;
    ModuleFacts facts;
    spvBinaryParse(context.get(), &facts, words.data(), words.size(), &noteVersion, &noteInstruction, nullptr);
    EntryPoints entryPoints;
    for (const auto& entryPoint : facts.entryPoints) {
        if (const auto problem = checkEntryPoint(facts, entryPoint)) {
            *diagnostic = "entry point " + entryPoint.name + " " + *problem;
            return std::nullopt;
        }
        if (const auto stage = stageOf(entryPoint.model)) entryPoints.emplace(entryPoint.name, *stage);
    }
    return entryPoints;
}

} // namespace gpu::vulkan
