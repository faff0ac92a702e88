// One whole regwright run, from the start-up environment to the written header.
#pragma once

namespace rw {

// Returns the process exit status: 0 after a successful run (warnings
// included) or when the usage text was shown, 1 after any error.
int runRegwright(int argc, char** argv);

}  // namespace rw
