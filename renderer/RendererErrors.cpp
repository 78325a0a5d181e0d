#include "renderer/RendererErrors.h"

#include "settings/KORLANFlowConfiguration.h"

const std::string& RendererErrorDomain() {
    static const std::string domain = std::string(KORLANFlowBundleIdentifier) + ".Renderer";
    return domain;
}

const char* RendererErrorMessage(RendererErrorCode code) {
    switch (code) {
    case RendererErrorCode::MissingDevice: return "Metal-Gerät fehlt.";
    case RendererErrorCode::CommandQueueUnavailable: return "Metal-Command-Queue konnte nicht angelegt werden.";
    case RendererErrorCode::ShaderLibraryMissing: return "Kompilierte Metal-Shader fehlen.";
    case RendererErrorCode::ShaderFunctionMissing: return "Eine erforderliche Metal-Funktion fehlt.";
    case RendererErrorCode::SamplerUnavailable: return "Metal-Textursampler konnte nicht angelegt werden.";
    case RendererErrorCode::LogoUnreadable: return "KORLAN-Logo fehlt oder kann nicht gelesen werden.";
    case RendererErrorCode::LogoNotRasterized: return "KORLAN-Logo konnte nicht rasterisiert werden.";
    case RendererErrorCode::ReducedPatternTextureUnavailable:
        return "Reduzierte Musterebene konnte nicht angelegt werden.";
    case RendererErrorCode::PatternEncoderUnavailable: return "Metal-Renderencoder konnte nicht angelegt werden.";
    case RendererErrorCode::CompositeEncoderUnavailable: return "Metal-Kompositencoder konnte nicht angelegt werden.";
    case RendererErrorCode::RendererNotReady: return "Renderer ist nicht bereit.";
    case RendererErrorCode::CheckTextureUnavailable: return "Prüftextur konnte nicht angelegt werden.";
    case RendererErrorCode::CheckImageUnavailable: return "Prüfbild konnte nicht erzeugt werden.";
    case RendererErrorCode::CheckImageNotEncoded: return "Prüfbild konnte nicht als PNG kodiert werden.";
    }
    return "";
}

foundation::ErrorRef RendererError(long code, const std::string& message) {
    return foundation::makeError(RendererErrorDomain(), code, message);
}

void reportRendererError(foundation::ErrorRef* error, RendererErrorCode code) {
    if (error) *error = RendererError(static_cast<long>(code), RendererErrorMessage(code));
}
