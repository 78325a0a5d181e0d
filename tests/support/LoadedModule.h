#pragma once

#include "host/ModuleBundle.h"

// The bundle as built, loaded once per test process with dlopen, so the
// tests drive exactly what ships.
const ModuleBundle& loadedModule();
