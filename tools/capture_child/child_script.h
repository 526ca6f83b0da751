#pragma once
// The script that the capture test child carries out, given as blank-separated steps on its
// command line. The steps, in order:
//   out:TEXT      one write of TEXT to standard output
//   err:TEXT      one write of TEXT to standard error
//   repeat:N:TEXT N writes of TEXT to standard output
//   fill:N        one write of N bytes 'x' to standard output, without a line break
//   sleep:MS      sleep MS milliseconds
//   ctrlc:CODE    from now on, exit with CODE as soon as byte 3 arrives on standard input
//   exit:CODE     exit with CODE (the script's end exits with 0)
//   cwd           write the working directory and CR LF to standard output
// TEXT escapes: \r \n \\ and \xNN for any byte (a blank is \x20).

#include <string>
#include <string_view>
#include <vector>

namespace capture_child {

struct Step {
    enum class Kind { WriteOut, WriteErr, Sleep, ExitOnCtrlC, Exit, WriteDirectory };

    Kind kind;
    std::string bytes;  // WriteOut, WriteErr: what one write sends
    int count = 1;      // WriteOut, WriteErr: how many writes
    int value = 0;      // Sleep: milliseconds; ExitOnCtrlC, Exit: exit code
};

// Throws std::invalid_argument naming the step that cannot be read.
std::vector<Step> ParseScript(std::string_view script);

}  // namespace capture_child
