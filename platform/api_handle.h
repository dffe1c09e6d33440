// An owner for a handle that portable code gets through the facade (a
// region): closed through the facade when the owner
// goes, unless it was handed on. The backend's own handles have their owner
// in platform/win32/handle.h.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/win32_api.h"

namespace vt {

template <auto Close>
class ApiHandle {
public:
    explicit ApiHandle(Win32Api& api, uintptr_t handle = 0) : api_(&api), handle_(handle) {}
    ApiHandle(ApiHandle&& other) noexcept : api_(other.api_), handle_(std::exchange(other.handle_, 0)) {}
    ApiHandle& operator=(ApiHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
            api_ = other.api_;
        }
        return *this;
    }
    ApiHandle(const ApiHandle&) = delete;
    ApiHandle& operator=(const ApiHandle&) = delete;
    ~ApiHandle() { reset(); }

    uintptr_t get() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }
    // For calls that hand a new handle back through a reference.
    uintptr_t& out() {
        reset();
        return handle_;
    }
    void reset(uintptr_t handle = 0) {
        if (handle_ != 0 && handle_ != handle) (api_->*Close)(handle_);
        handle_ = handle;
    }
    // To someone who closes it (SetWindowRgn, for one).
    uintptr_t release() { return std::exchange(handle_, 0); }

private:
    Win32Api* api_;
    uintptr_t handle_;
};

using UniqueRegion = ApiHandle<&Win32Api::DeleteObject>;

}  // namespace vt
