#pragma once

namespace platform {

// Thrown to end the program with a status from deep inside a dialogue; the
// programs' main functions catch it, flush the console and return the status.
struct ProgramExit {
    int status;
};

[[noreturn]] inline void endProgram(int status) { throw ProgramExit{status}; }

}  // namespace platform
