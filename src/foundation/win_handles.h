// One small owner per kind of Windows handle: movable, not copyable, closed
// exactly once by the destructor.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <utility>

namespace win {

/// Owner of a handle value closed by `Closer` unless `Closer::Empty` says it holds nothing. An empty owner keeps
/// null, so that `Get` gives null for every empty value (also INVALID_HANDLE_VALUE where that means none).
template <typename Handle, typename Closer>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(Closer::Empty(handle) ? nullptr : handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Detach()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }
    ~UniqueHandle() { Reset(); }

    Handle Get() const { return Valid() ? handle_ : nullptr; }
    bool Valid() const { return !Closer::Empty(handle_); }
    explicit operator bool() const { return Valid(); }
    /// For functions that fill a handle through a pointer; closes the old one first.
    Handle* Receive() {
        Reset();
        return &handle_;
    }
    Handle Detach() {
        const Handle handle = Get();
        handle_ = nullptr;
        return handle;
    }
    void Reset(Handle handle = nullptr) {
        if (Valid()) Closer()(handle_);
        handle_ = Closer::Empty(handle) ? nullptr : handle;
    }

private:
    Handle handle_ = nullptr;
};

/// Null holds nothing.
struct NullIsEmpty {
    template <typename Handle>
    static bool Empty(Handle handle) {
        return handle == nullptr;
    }
};
/// Null and INVALID_HANDLE_VALUE hold nothing (the failures of CreateFile and FindFirstFile).
struct InvalidIsEmpty {
    static bool Empty(HANDLE handle) { return handle == nullptr || handle == INVALID_HANDLE_VALUE; }
};

struct CloseKernelHandle : NullIsEmpty {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct CloseFileHandle : InvalidIsEmpty {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct CloseFindHandle : InvalidIsEmpty {
    void operator()(HANDLE h) const { FindClose(h); }
};
struct CloseRegistryKey : NullIsEmpty {
    void operator()(HKEY k) const { RegCloseKey(k); }
};
struct FreeModule : NullIsEmpty {
    void operator()(HMODULE m) const { FreeLibrary(m); }
};
struct DeleteGdiObject : NullIsEmpty {
    void operator()(HGDIOBJ o) const { DeleteObject(o); }
};
struct DestroyIconHandle : NullIsEmpty {
    void operator()(HICON i) const { DestroyIcon(i); }
};
struct UnhookHook : NullIsEmpty {
    void operator()(HHOOK h) const { UnhookWindowsHookEx(h); }
};
struct FreeLocalMemory : NullIsEmpty {
    void operator()(HLOCAL m) const { LocalFree(m); }
};
struct DestroyWindowHandle : NullIsEmpty {
    void operator()(HWND w) const { DestroyWindow(w); }
};

/// Process, thread, mutex and event handles (null when absent).
using KernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
/// File handles from CreateFileA (INVALID_HANDLE_VALUE when absent).
using FileHandle = UniqueHandle<HANDLE, CloseFileHandle>;
/// Searches from FindFirstFileA (INVALID_HANDLE_VALUE when absent).
using FindHandle = UniqueHandle<HANDLE, CloseFindHandle>;
using RegKey = UniqueHandle<HKEY, CloseRegistryKey>;
using Library = UniqueHandle<HMODULE, FreeModule>;
using Font = UniqueHandle<HFONT, DeleteGdiObject>;
using Icon = UniqueHandle<HICON, DestroyIconHandle>;
using Hook = UniqueHandle<HHOOK, UnhookHook>;
/// Blocks the system hands out to be freed with LocalFree (CommandLineToArgvW, FormatMessage).
using LocalMemory = UniqueHandle<HLOCAL, FreeLocalMemory>;
/// A top-level window of this thread, destroyed by its owner unless something destroyed it first.
using Window = UniqueHandle<HWND, DestroyWindowHandle>;

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
    ShellMemory(ShellMemory&& other) noexcept
        : allocator_(other.allocator_), p_(std::exchange(other.p_, nullptr)) {}
    ShellMemory& operator=(ShellMemory&& other) noexcept {
        if (this != &other) {
            Reset();
            allocator_ = other.allocator_;
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
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

/// COM initialised on this thread for the owner's lifetime, and uninitialised by it only when its own call
/// succeeded (a thread already in another apartment stays as it was).
class ComApartment {
public:
    enum class Kind {
        Com,  ///< CoInitializeEx: apartment threaded, without OLE 1 DDE
        Ole,  ///< OleInitialize: COM with the clipboard and drag and drop that the rich-edit control uses
    };

    ComApartment() = default;
    explicit ComApartment(Kind kind) { Enter(kind); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ComApartment(ComApartment&& other) noexcept : entered_(std::exchange(other.entered_, Entered::None)) {}
    ComApartment& operator=(ComApartment&& other) noexcept {
        if (this != &other) {
            Reset();
            entered_ = std::exchange(other.entered_, Entered::None);
        }
        return *this;
    }
    ~ComApartment() { Reset(); }

    bool Initialised() const { return entered_ != Entered::None; }
    /// Leaves the apartment this owner entered, then enters one of `kind`.
    void Enter(Kind kind) {
        Reset();
        if (kind == Kind::Ole) {
            if (SUCCEEDED(OleInitialize(nullptr))) entered_ = Entered::Ole;
        } else if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
            entered_ = Entered::Com;
        }
    }
    void Reset() {
        if (entered_ == Entered::Ole) OleUninitialize();
        if (entered_ == Entered::Com) CoUninitialize();
        entered_ = Entered::None;
    }

private:
    enum class Entered { None, Com, Ole };
    Entered entered_ = Entered::None;
};

}  // namespace win

/// The calling thread's last error, or `fallback` when a call failed without setting one.
inline DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != 0 ? error : fallback;
}
