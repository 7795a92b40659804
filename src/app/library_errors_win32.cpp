// The standard library reports its own errors (a failed allocation, a string or vector beyond
// its limits, a thread that cannot be started) through these functions. Its versions build
// the exception's message with the library's own string code and bring in two string
// implementations, the system-error categories and a random device: about a sixth of the
// program. No code here catches one of these errors to go on; each one ends in the terminate
// handler the program installs, which hands the fans back and ends the process. These do the
// same directly.
#include <bits/functexcept.h>

#include <exception>

namespace std {

void __throw_bad_alloc() {
    std::terminate();
}
void __throw_bad_array_new_length() {
    std::terminate();
}
void __throw_bad_function_call() {
    std::terminate();
}
void __throw_length_error(const char*) {
    std::terminate();
}
void __throw_logic_error(const char*) {
    std::terminate();
}
void __throw_out_of_range_fmt(const char*, ...) {
    std::terminate();
}
void __throw_system_error(int) {
    std::terminate();
}

} // namespace std
