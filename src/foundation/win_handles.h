// One small owner per kind of Windows handle: movable, not copyable, closed
// exactly once by the destructor.
#pragma once

#include <windows.h>

#include <utility>

namespace win {

/// Owner of a handle value closed by `Close` when it is not `Invalid`.
template <typename Handle, Handle Invalid, typename Closer>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Invalid)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, Invalid));
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return handle_; }
    bool Valid() const { return handle_ != Invalid; }
    explicit operator bool() const { return Valid(); }
    /// For functions that fill a handle through a pointer; closes the old one first.
    Handle* Receive() {
        Reset();
        return &handle_;
    }
    Handle Detach() { return std::exchange(handle_, Invalid); }
    void Reset(Handle handle = Invalid) {
        if (handle_ != Invalid) Closer()(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Invalid;
};

struct CloseKernelHandle {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct CloseRegistryKey {
    void operator()(HKEY k) const { RegCloseKey(k); }
};
struct FreeModule {
    void operator()(HMODULE m) const { FreeLibrary(m); }
};
struct DeleteGdiObject {
    void operator()(HGDIOBJ o) const { DeleteObject(o); }
};
struct DestroyIconHandle {
    void operator()(HICON i) const { DestroyIcon(i); }
};
struct UnhookHook {
    void operator()(HHOOK h) const { UnhookWindowsHookEx(h); }
};

/// Process, thread, mutex and event handles (null when absent).
using KernelHandle = UniqueHandle<HANDLE, nullptr, CloseKernelHandle>;
/// File handles from CreateFileA (INVALID_HANDLE_VALUE when absent).
class FileHandle : public UniqueHandle<HANDLE, nullptr, CloseKernelHandle> {
public:
    FileHandle() = default;
    explicit FileHandle(HANDLE h) : UniqueHandle(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};
using RegKey = UniqueHandle<HKEY, nullptr, CloseRegistryKey>;
using Library = UniqueHandle<HMODULE, nullptr, FreeModule>;
using Font = UniqueHandle<HFONT, nullptr, DeleteGdiObject>;
using Icon = UniqueHandle<HICON, nullptr, DestroyIconHandle>;
using Hook = UniqueHandle<HHOOK, nullptr, UnhookHook>;

/// Owner of one COM interface pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** Receive() {
        Reset();
        return &p_;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    void Reset() {
        if (p_ != nullptr) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

/// A block the shell handed out (an item list), freed with the shell allocator it came from.
template <typename T>
class ShellMemory {
public:
    explicit ShellMemory(IMalloc* allocator) : allocator_(allocator) {}
    ShellMemory(const ShellMemory&) = delete;
    ShellMemory& operator=(const ShellMemory&) = delete;
    ~ShellMemory() { Reset(); }

    T* Get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** Receive() {
        Reset();
        return &p_;
    }
    void Reset(T* p = nullptr) {
        if (p_ != nullptr) allocator_->Free(p_);
        p_ = p;
    }

private:
    IMalloc* allocator_;
    T* p_ = nullptr;
};

}  // namespace win
