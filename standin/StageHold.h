// Holding the program at a stage for end-to-end tests (see "Holding a stage" in the README).
#pragma once

namespace swirlo::standin {

// Installs, once per thread and only when SWIRLO_STANDIN_HOLD is set, the hook that holds this
// thread when one of the listed status texts is set while a test has armed it.
void InstallStageHold();

}  // namespace swirlo::standin
