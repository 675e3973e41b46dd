#include "ModuleHarness.h"

namespace {

// Registered before main() runs the tests; gtest owns and deletes it.
[[maybe_unused]] ::testing::Environment* const kSettings =
    ::testing::AddGlobalTestEnvironment(new zelmar::testing::IsolatedSettings);

} // namespace
