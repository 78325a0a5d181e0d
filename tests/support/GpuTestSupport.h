#pragma once

// What the tests on the real GPU backend share: software rendering allowed,
// the validation layer on with every message kept, and pixels read back.

#include "platform/gpu/Device.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using Pixel = std::array<std::uint8_t, 4>; // blue, green, red, alpha

// Pixels of a BGRA target, rows from the top, tight.
struct Pixels {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> bytes;

    Pixel at(std::uint32_t x, std::uint32_t y) const;
    bool operator==(const Pixels&) const = default;
};

// Reads a Shared texture whose GPU work has completed.
Pixels readPixels(gpu::Texture& texture);

// Source-alpha "over" blending, as the logo pipeline has it.
void blendSourceOver(gpu::RenderPipelineColorAttachmentDescriptor& attachment);

// Options for createSystemDefaultDevice in tests: a CPU device allowed, and
// the validation layer on, its messages kept for takeValidationMessages.
gpu::DeviceOptions validatedTestDeviceOptions();

// The validation messages reported since the last call, from any thread.
std::vector<std::string> takeValidationMessages();
