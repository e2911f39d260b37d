#pragma once

namespace corvane::fuzz {

// The application object that widgets need, created once per process on the offscreen
// platform. Qt's own log output is dropped: a fuzzer runs millions of inputs, and the warnings
// our code writes for bad input would cost more than the input itself.
void EnsureApplication();

} // namespace corvane::fuzz
