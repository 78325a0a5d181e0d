#pragma once

#include "platform/gpu/NativeWindow.h"

// The process's GPU device choice for the saver: software rendering where
// asked, presentation on the display server, and the validation layer when
// KORLAN_FLOW_VALIDATION=1 is in the environment (a developer's switch: each
// message goes to standard error as "korlan-flow: validation: …").
void chooseSaverDevice(const gpu::NativeDisplay& display, bool allowSoftware);

// For a saver that found no device: one line on standard error after the
// module's own, saying what the user can do.
void explainMissingDevice(bool softwareAllowed);
