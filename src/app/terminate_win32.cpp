// The program never lets an exception escape, but libstdc++'s default terminate handler would
// print the exception's demangled type name, and with it link the whole demangler (about a
// tenth of the program's size). This one ends the process as abort does, without the message
// that a window program has nowhere to show anyway.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
