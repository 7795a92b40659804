#pragma once

#include <string>

// One line for the console the program was started from (the program is a GUI program and has
// none of its own). Nothing happens when it was not started from a console.
void printToParentConsole(const std::wstring& line);
