// The viewer's command line: none for normal use; --help and --version answer on the terminal
// without opening a window, anything else is refused.
#pragma once

namespace startup {

enum class Request { Run, Help, Version, Refused };

// Reads the arguments as given to main(), before any window machinery exists.
Request readCommandLine(int argc, char* argv[]);

// Prints the answer to a request other than Run and returns the exit status: 0, or 2 when refused.
int answer(Request request, int argc, char* argv[]);

}  // namespace startup
