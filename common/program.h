// The start-up that the three programs share: write signals made errors,
// interrupts that remove the run's temporary files, the console used as
// characters, and a last catch that turns anything escaping the program's
// body (memory or threads exhausted, a job's exception passed on by a
// pipeline) into one line and the program's failure status.
#pragma once

namespace zoneloads {

struct Program {
    const char* name;               // the program's name
    int failureStatus;              // its exit status after a message
    bool messagesOnStandardOutput;  // "# Error CAUSE" on standard output (zoneloads' console), else
                                    // "NAME: CAUSE" on standard error
};

// Runs the program's `body` and returns its exit status. Around it: a write
// to a closed pipe or past the file-size limit fails as a write instead of
// killing the process; an interrupt removes the temporary files of the
// outputs; the console reads and writes characters (Windows); anything the
// body throws is one Spanish line naming the cause, the temporaries
// removed, and program.failureStatus; a console window opened for the
// program alone waits for Enter before it closes.
int runProgram(const Program& program, int (*body)(int argc, char** argv), int argc, char** argv);

}  // namespace zoneloads
