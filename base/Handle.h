// Ownership of platform handles in the type: TUniqueHandle closes what it
// holds exactly once; guards for device contexts and selected GDI objects;
// TComPtr releases its interface.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

// Traits: a static Invalid() value and a static Close(handle).
template <typename Traits>
class TUniqueHandle {
public:
    using T = decltype(Traits::Invalid());

    TUniqueHandle() = default;
    explicit TUniqueHandle(T h) : FHandle(h) {}
    ~TUniqueHandle() { Reset(); }
    TUniqueHandle(TUniqueHandle&& other) noexcept : FHandle(other.Release()) {}
    TUniqueHandle& operator=(TUniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    TUniqueHandle(const TUniqueHandle&) = delete;
    TUniqueHandle& operator=(const TUniqueHandle&) = delete;

    T Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != Traits::Invalid(); }
    T Release() { return std::exchange(FHandle, Traits::Invalid()); }
    void Reset(T h = Traits::Invalid())
    {
        T old = std::exchange(FHandle, h);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }

private:
    T FHandle = Traits::Invalid();
};

namespace handle_detail {
struct FileTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct KernelTraits {
    static HANDLE Invalid() { return nullptr; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
template <typename H>
struct GdiTraits {
    static H Invalid() { return nullptr; }
    static void Close(H h) { ::DeleteObject(h); }
};
struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static void Close(HMENU h) { ::DestroyMenu(h); }
};
struct IconTraits {
    static HICON Invalid() { return nullptr; }
    static void Close(HICON h) { ::DestroyIcon(h); }
};
struct ScreenDCTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { ::ReleaseDC(nullptr, h); }
};
struct MemoryDCTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { ::DeleteDC(h); }
};
} // namespace handle_detail

using TFileHandle = TUniqueHandle<handle_detail::FileTraits>;
using TKernelHandle = TUniqueHandle<handle_detail::KernelTraits>;
using TFontHandle = TUniqueHandle<handle_detail::GdiTraits<HFONT>>;
using TBrushHandle = TUniqueHandle<handle_detail::GdiTraits<HBRUSH>>;
using TBitmapHandle = TUniqueHandle<handle_detail::GdiTraits<HBITMAP>>;
using TMenuHandle = TUniqueHandle<handle_detail::MenuTraits>;
using TIconHandle = TUniqueHandle<handle_detail::IconTraits>;

// Selects a GDI object into a device context for the lifetime of the guard.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ obj) : FDC(dc), FOld(::SelectObject(dc, obj)) {}
    ~TSelectObject() { ::SelectObject(FDC, FOld); }
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;

private:
    HDC FDC;
    HGDIOBJ FOld;
};

// BeginPaint / EndPaint.
class TPaintDC {
public:
    explicit TPaintDC(HWND wnd) : FWnd(wnd) { FDC = ::BeginPaint(wnd, &FPaint); }
    ~TPaintDC() { ::EndPaint(FWnd, &FPaint); }
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    HDC DC() const { return FDC; }
    const PAINTSTRUCT& Paint() const { return FPaint; }

private:
    HWND FWnd;
    PAINTSTRUCT FPaint{};
    HDC FDC;
};

// The screen's device context, released with the guard.
class TScreenDC : public TUniqueHandle<handle_detail::ScreenDCTraits> {
public:
    TScreenDC() : TUniqueHandle(::GetDC(nullptr)) {}
    HDC DC() const { return Get(); }
};

// A memory device context compatible with the screen, deleted with the guard.
class TMemoryDC : public TUniqueHandle<handle_detail::MemoryDCTraits> {
public:
    TMemoryDC() : TUniqueHandle(::CreateCompatibleDC(nullptr)) {}
    HDC DC() const { return Get(); }
};

template <typename I>
class TComPtr {
public:
    TComPtr() = default;
    TComPtr(std::nullptr_t) {}
    ~TComPtr() { Reset(); }
    TComPtr(const TComPtr& other) : FPtr(other.FPtr)
    {
        if (FPtr)
            FPtr->AddRef();
    }
    TComPtr(TComPtr&& other) noexcept : FPtr(std::exchange(other.FPtr, nullptr)) {}
    TComPtr& operator=(TComPtr other) noexcept
    {
        std::swap(FPtr, other.FPtr);
        return *this;
    }

    I* Get() const { return FPtr; }
    I* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    I** Put()
    {
        Reset();
        return &FPtr;
    }
    void Reset()
    {
        if (FPtr)
            std::exchange(FPtr, nullptr)->Release();
    }
    template <typename Q>
    TComPtr<Q> As(REFIID iid) const
    {
        TComPtr<Q> q;
        if (FPtr)
            FPtr->QueryInterface(iid, reinterpret_cast<void**>(q.Put()));
        return q;
    }

private:
    I* FPtr = nullptr;
};
