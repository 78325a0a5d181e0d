#pragma once

#include "platform/foundation/Error.h"

#include <string>

// The renderer's own failures. Platform errors are passed through as they
// come; these are made only where the renderer's own check fails.
enum class RendererErrorCode : long {
    MissingDevice = 1,
    CommandQueueUnavailable = 2,
    ShaderLibraryMissing = 3,
    ShaderFunctionMissing = 4,
    SamplerUnavailable = 5,
    LogoUnreadable = 6,
    LogoNotRasterized = 7,
    ReducedPatternTextureUnavailable = 8,
    PatternEncoderUnavailable = 9,
    CompositeEncoderUnavailable = 10,
    RendererNotReady = 11,
    CheckTextureUnavailable = 12,
    CheckImageUnavailable = 13,
    CheckImageNotEncoded = 14,
};

// The bundle identifier followed by ".Renderer".
const std::string& RendererErrorDomain();

// The German message that belongs to a code.
const char* RendererErrorMessage(RendererErrorCode code);

foundation::ErrorRef RendererError(long code, const std::string& message);

// Writes the error of a code into an optional out-parameter.
void reportRendererError(foundation::ErrorRef* error, RendererErrorCode code);
