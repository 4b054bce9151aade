#pragma once

// A system handle (window, module, mutex) held by portable code as an
// opaque value; only platform and application code looks inside.
using NativeHandle = void*;
