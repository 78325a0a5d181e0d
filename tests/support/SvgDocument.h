#pragma once

#include <string>

// An SVG document around body, with the given size attributes.
inline std::string svgDocument(const std::string& body,
                               const std::string& sizeAttributes = R"(viewBox="0 0 100 100")") {
    return R"(<svg xmlns="http://www.w3.org/2000/svg" )" + sizeAttributes + ">" + body + "</svg>";
}

// An SVG document of width × height user units, drawn at that size.
inline std::string svgDocument(int width, int height, const std::string& body) {
    const std::string w = std::to_string(width), h = std::to_string(height);
    return svgDocument(body, "width=\"" + w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h + "\"");
}
