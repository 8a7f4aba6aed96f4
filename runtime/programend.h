#pragma once

namespace runtime {

// Ends the program at once, whatever windows are open, with exit status 0.
void endProgram();

} // namespace runtime
