#pragma once

// The process's GPU device choice for the saver: software rendering where
// asked, presentation on the X connection, and the validation layer when
// KORLAN_FLOW_VALIDATION=1 is in the environment (a developer's switch: each
// message goes to standard error as "korlan-flow: validation: …").
void chooseSaverDevice(void* display, bool allowSoftware);

// For a saver that found no device: one line on standard error after the
// module's own, saying what the user can do.
void explainMissingDevice(bool softwareAllowed);
