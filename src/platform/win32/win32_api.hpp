// The Windows headers, configured once for every file of this backend, and
// the conversions between our opaque handle types and the system's.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <mmsystem.h>

namespace korvale::platform::win32 {

// Our handle types are pointers to incomplete types; the system's are
// pointers too, so each is the same value under another name.
template <typename To, typename From>
To as(From handle) {
    return reinterpret_cast<To>(handle);
}

}  // namespace korvale::platform::win32
