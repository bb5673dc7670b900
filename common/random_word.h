// Random words for the names of new files (temporaries, scratch files, test
// folders): different in every run, so that two runs side by side do not
// reach for the same name.
#pragma once

namespace zoneloads {

// A random word of 32 bits, different in every run.
unsigned long long randomWord();

}  // namespace zoneloads
