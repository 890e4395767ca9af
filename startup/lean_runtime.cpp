// Linked into every program: replaces the C++ runtime's verbose terminate handler, which would
// print the demangled type of an escaped exception to a console these GUI programs do not have,
// and would drag the demangler and printf formatting into every executable.

#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
