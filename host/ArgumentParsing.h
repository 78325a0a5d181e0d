#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// Whole-argument number parsing in the C locale: "1.5" everywhere, and
// trailing text ("12px"), empty text or NaN rejected.
std::optional<double> parseNumber(std::string_view text);
std::optional<std::uint64_t> parseWholeNumber(std::string_view text, std::uint64_t minimum, std::uint64_t maximum);
