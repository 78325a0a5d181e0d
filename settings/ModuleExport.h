#pragma once

// The module is built with hidden visibility; these are its public C names.
#define KF_MODULE_API extern "C" __attribute__((visibility("default")))
