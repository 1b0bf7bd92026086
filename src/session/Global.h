#pragma once
// The shared session helpers in one include, for the windows: each concern
// has a header of its own, named after it.

#include "session/HostMessages.h"
#include "session/OpenWindows.h"
#include "session/SessionContext.h"
#include "session/SqlLiteral.h"
#include "session/VariantArray.h"
#include "session/WindowRegistry.h"
