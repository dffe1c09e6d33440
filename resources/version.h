// Veltrane's version, written here alone: the version block (veltrane.rc),
// CMake's project version and the names of the downloads (tools/package.sh)
// all read it. The version block spells it with the minor number in two
// digits and the build in four: 1, 0, 209 is "1.00.0209".
#pragma once

#define VT_VERSION_MAJOR 1
#define VT_VERSION_MINOR 0
#define VT_VERSION_BUILD 209

#define VT_VERSION_STRING_(tokens) #tokens
#define VT_VERSION_STRING(tokens) VT_VERSION_STRING_(tokens)
#define VT_VERSION_PASTE_(a, b) a##b
#define VT_VERSION_PASTE(a, b) VT_VERSION_PASTE_(a, b)
#if VT_VERSION_MINOR < 10
#define VT_VERSION_MINOR_DIGITS VT_VERSION_PASTE(0, VT_VERSION_MINOR)
#else
#define VT_VERSION_MINOR_DIGITS VT_VERSION_MINOR
#endif
#if VT_VERSION_BUILD < 10
#define VT_VERSION_BUILD_DIGITS VT_VERSION_PASTE(000, VT_VERSION_BUILD)
#elif VT_VERSION_BUILD < 100
#define VT_VERSION_BUILD_DIGITS VT_VERSION_PASTE(00, VT_VERSION_BUILD)
#elif VT_VERSION_BUILD < 1000
#define VT_VERSION_BUILD_DIGITS VT_VERSION_PASTE(0, VT_VERSION_BUILD)
#else
#define VT_VERSION_BUILD_DIGITS VT_VERSION_BUILD
#endif
#define VT_VERSION_TEXT VT_VERSION_STRING(VT_VERSION_MAJOR.VT_VERSION_MINOR_DIGITS.VT_VERSION_BUILD_DIGITS)
