// One owner per kind of platform handle, so that no path out of a function leaks one.
#pragma once

#include <windows.h>

#include <utility>

namespace sys {

template <typename Traits> class unique_resource {
public:
    using pointer = typename Traits::pointer;

    unique_resource() noexcept = default;
    explicit unique_resource(pointer value) noexcept : value_(value) {}
    unique_resource(unique_resource&& other) noexcept : value_(other.release()) {}
    unique_resource& operator=(unique_resource&& other) noexcept {
        reset(other.release());
        return *this;
    }
    unique_resource(const unique_resource&) = delete;
    unique_resource& operator=(const unique_resource&) = delete;
    ~unique_resource() { reset(); }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    // For platform calls that return the handle through an out-parameter.
    pointer* put() noexcept {
        reset();
        return &value_;
    }
    pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(pointer value = Traits::invalid()) noexcept {
        if (value_ != Traits::invalid()) {
            Traits::close(value_);
        }
        value_ = value;
    }

private:
    pointer value_ = Traits::invalid();
};

struct hkey_traits {
    using pointer = HKEY;
    static HKEY invalid() noexcept { return nullptr; }
    static void close(HKEY key) noexcept { RegCloseKey(key); }
};

struct hfind_traits {
    using pointer = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE find) noexcept { FindClose(find); }
};

// Process, mutex, file mapping and snapshot handles: null when absent.
struct handle_traits {
    using pointer = HANDLE;
    static HANDLE invalid() noexcept { return nullptr; }
    static void close(HANDLE handle) noexcept { CloseHandle(handle); }
};

// CreateFile reports failure as INVALID_HANDLE_VALUE, not null.
struct hfile_traits {
    using pointer = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE file) noexcept { CloseHandle(file); }
};

struct hfont_traits {
    using pointer = HFONT;
    static HFONT invalid() noexcept { return nullptr; }
    static void close(HFONT font) noexcept { DeleteObject(font); }
};

// A view of a file mapping: null when MapViewOfFile failed.
struct view_traits {
    using pointer = void*;
    static void* invalid() noexcept { return nullptr; }
    static void close(void* view) noexcept { UnmapViewOfFile(view); }
};

// Buffers the system allocated for the caller, such as FormatMessage's.
struct hlocal_traits {
    using pointer = void*;
    static void* invalid() noexcept { return nullptr; }
    static void close(void* memory) noexcept { LocalFree(memory); }
};

// A window's device context from GetDC (null: the screen's), released to that window.
class unique_window_dc {
public:
    explicit unique_window_dc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~unique_window_dc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

using unique_hkey = unique_resource<hkey_traits>;
using unique_hfind = unique_resource<hfind_traits>;
using unique_handle = unique_resource<handle_traits>;
using unique_hfile = unique_resource<hfile_traits>;
using unique_hfont = unique_resource<hfont_traits>;
using unique_hlocal = unique_resource<hlocal_traits>;
using unique_view = unique_resource<view_traits>;

} // namespace sys
