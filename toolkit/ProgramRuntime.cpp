// Linked into each program of the suite, ahead of the C++ runtime: what that runtime would do on
// an error no program of ours catches, done without the text it would write to a console these
// windows programs do not have. Its defaults bring the symbol demangler, stdio and the standard
// error classes with their own string type along, which together are most of a program's size.
#include <cstdlib>
#include <new>

// std::terminate's default handler prints the exception's type before it aborts.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// The containers and strings report misuse through these. A size past what can be allocated is
// a failed allocation, as the registry wrapper expects; every other misuse is a fault of the
// program, which ends it as an uncaught error would.
namespace std {
void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_alloc(); }
void __throw_length_error(const char*) { throw std::bad_alloc(); }
void __throw_bad_cast() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_bad_exception() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }
}  // namespace std
