#pragma once

#include "applicationdescription.h"

// What Brightfold declares to the runtime at start: its names, its version and its start-up
// window, the login window.
runtime::ApplicationDescription brightfoldApplication();
