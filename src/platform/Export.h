// How the library marks the functions it exports; everything else stays hidden.
#pragma once

#if defined(_WIN32)
#define QX_EXPORT __declspec(dllexport)
#else
#define QX_EXPORT __attribute__((visibility("default")))
#endif
