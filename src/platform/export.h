// Symbol visibility across the project's shared libraries.
#pragma once

#if defined(_WIN32)
#define VFDA_EXPORT __declspec(dllexport)
#define VFDA_IMPORT __declspec(dllimport)
#else
#define VFDA_EXPORT __attribute__((visibility("default")))
#define VFDA_IMPORT __attribute__((visibility("default")))
#endif

// The toolkit library (framework and platform layer).
#if defined(VFDA_BUILDING_TOOLKIT)
#define TOOLKIT_API VFDA_EXPORT
#else
#define TOOLKIT_API VFDA_IMPORT
#endif
