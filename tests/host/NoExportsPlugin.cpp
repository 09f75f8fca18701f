// A shared library that exports none of the plug-in functions.
namespace {
[[maybe_unused]] int Nothing() { return 0; }
}  // namespace
