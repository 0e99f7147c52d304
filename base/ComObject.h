// TComObject: the one implementation of a COM object's IUnknown, for the
// objects this program hands to the system (the browser control's site and
// event sink). TDispatchObject adds an IDispatch that has no type
// information. Their objects live on the heap and free themselves on their
// last Release, as COM objects do: the system may keep a reference after the
// program lets go of one.
#pragma once

#include <windows.h>
#include <oleauto.h>

// A COM object of the given interfaces: one reference count, born at 1 and
// freeing the object at 0, and one QueryInterface that asks the object's
// Find for the interface of an identifier.
template <typename... Interfaces>
class TComObject : public Interfaces... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override
    {
        if (!Object)
            return E_POINTER;
        *Object = Find(Iid);
        if (!*Object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&FRefs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = ::InterlockedDecrement(&FRefs);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }

protected:
    TComObject() = default;
    virtual ~TComObject() = default;
    // The object as the interface of Iid; null when it has none.
    virtual void* Find(REFIID Iid) = 0;

private:
    LONG FRefs = 1;
};

// Clears an out-parameter that a method leaves unfilled, and gives Result.
template <typename T>
HRESULT NoObject(T** Out, HRESULT Result)
{
    if (Out)
        *Out = nullptr;
    return Result;
}

// A COM object whose IDispatch has no type information: only Invoke, by dispatch id.
template <typename... Interfaces>
class TDispatchObject : public TComObject<Interfaces...> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override
    {
        if (!Count)
            return E_POINTER;
        *Count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** Info) override { return NoObject(Info, E_NOTIMPL); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
};
