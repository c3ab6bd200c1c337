// The engine interface's internal operations with the exports' types, for host tests that run
// the same scenarios as the Windows DLL's tests.
#pragma once

#include "testkit/tonvar/screening_bands.h"

namespace testkit {

const EngineCalls& InternalEngineCalls();

}  // namespace testkit
