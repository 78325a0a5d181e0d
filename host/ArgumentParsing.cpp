#include "host/ArgumentParsing.h"

#include <charconv>
#include <cmath>

std::optional<double> parseNumber(std::string_view text) {
    double value = 0.0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size() || text.empty() || std::isnan(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint64_t> parseWholeNumber(std::string_view text, std::uint64_t minimum, std::uint64_t maximum) {
    std::uint64_t value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (failure != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    if (value < minimum || value > maximum) return std::nullopt;
    return value;
}
