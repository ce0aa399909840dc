// Linked into each unit-test program: its output reaches the log as it is written, so that a
// program that dies in a test still shows how far it got, and one that shows nothing at all
// never got to run.
#include <cstdio>

namespace {
[[maybe_unused]] const int kUnbuffered = [] { return std::setvbuf(stdout, nullptr, _IONBF, 0); }();
}  // namespace
