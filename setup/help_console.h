#pragma once

#include <string>

namespace setup {

// Writes the text to the inherited standard output when it is redirected (a file or a pipe),
// otherwise to a console opened for this window program; then waits for one input line.
void ShowOnConsoleAndWaitForEnter(const std::string& text);

}  // namespace setup
