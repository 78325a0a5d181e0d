#pragma once

namespace graphics {

// Where a line of text lies across the width it is given.
enum class TextAlignment { Left = 0, Right = 1, Center = 2, Justified = 3, Natural = 4 };

// Weights on the usual 100 to 900 scale of font files.
enum class FontWeight { Regular = 400, Medium = 500, Semibold = 600 };

// The interface's own typeface at a size and weight; the monospaced-digit
// variant gives every digit the same advance, so changing numbers do not
// shift.
struct Font {
    enum class Design { System, MonospacedDigitSystem };

    Design design = Design::System;
    double pointSize = 13.0;
    FontWeight weight = FontWeight::Regular;

    static Font systemFontOfSize(double pointSize, FontWeight weight) {
        return {Design::System, pointSize, weight};
    }
    static Font monospacedDigitSystemFontOfSize(double pointSize, FontWeight weight) {
        return {Design::MonospacedDigitSystem, pointSize, weight};
    }

    bool operator==(const Font&) const = default;
};

} // namespace graphics
