// Linked into every program. These GUI programs handle their own errors (WinError) and treat a
// misuse of the standard library as a bug, so the runtime's reporting machinery is replaced by
// plain ends: the verbose terminate handler would print a demangled type name to a console the
// programs do not have (dragging in the demangler and printf formatting), and the standard
// library's throw helpers would drag in every standard exception class and a second string
// implementation. Running out of memory still throws std::bad_alloc.

#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_alloc(); }
void __throw_bad_exception() { abort(); }
void __throw_bad_cast() { abort(); }
void __throw_bad_typeid() { abort(); }
void __throw_logic_error(const char*) { abort(); }
void __throw_domain_error(const char*) { abort(); }
void __throw_invalid_argument(const char*) { abort(); }
void __throw_length_error(const char*) { abort(); }
void __throw_out_of_range(const char*) { abort(); }
void __throw_out_of_range_fmt(const char*, ...) { abort(); }
void __throw_runtime_error(const char*) { abort(); }
void __throw_range_error(const char*) { abort(); }
void __throw_overflow_error(const char*) { abort(); }
void __throw_underflow_error(const char*) { abort(); }
void __throw_system_error(int) { abort(); }
void __throw_bad_function_call() { abort(); }
}  // namespace std
