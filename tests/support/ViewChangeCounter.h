#pragma once

#include "platform/view/View.h"

// Counts what a widget showing a view would be told.
class ViewChangeCounter : public view::ViewObserver {
public:
    void viewDidChange(view::View&) override { ++changes; }
    int changes = 0;
};
