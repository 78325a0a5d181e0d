#pragma once

#include "platform/view/View.h"

#include <array>

// The settings sheet's layout as its constraints give it, in points from
// the top-left corner of the sheet's window, computed from the natural
// sizes of its labels, sliders and buttons.
struct SheetLayout {
    struct Row {
        view::Rect card, title, explanation, value, slider;
    };
    view::Rect title, subtitle;
    std::array<Row, 3> rows;
    view::Rect standard, cancel, save;
};

// The natural sizes, measured by showing a sheet with the presenter on the
// display in $DISPLAY (the one the host will use, with the same fonts),
// then putting it away.
struct SheetNaturalSizes {
    view::Size title, subtitle;
    std::array<view::Size, 3> rowTitle, explanation;
    double valueHeight = 0, sliderHeight = 0;
    view::Size standard, cancel, save;
};

SheetNaturalSizes measureSheetNaturalSizes();
SheetLayout sheetLayoutFromConstraints(const SheetNaturalSizes& sizes);
