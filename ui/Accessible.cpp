// The annotation service's identifiers are defined here (oleacc.h declares
// them), so that no import library has to carry them.
#include <initguid.h>

#include "ui/Accessible.h"

#include "base/Handle.h"

namespace {
TComPtr<IAccPropServices> PropServices()
{
    TComPtr<IAccPropServices> services;
    ::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                       reinterpret_cast<void**>(services.Put()));
    return services;
}
} // namespace

void SetAccessibleRole(HWND Wnd, LONG Role)
{
    if (TComPtr<IAccPropServices> services = PropServices()) {
        VARIANT role;
        ::VariantInit(&role);
        role.vt = VT_I4;
        role.lVal = Role;
        services->SetHwndProp(Wnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_ROLE, role);
    }
}

void ClearAccessibleRole(HWND Wnd)
{
    if (TComPtr<IAccPropServices> services = PropServices()) {
        MSAAPROPID role = PROPID_ACC_ROLE;
        services->ClearHwndProps(Wnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &role, 1);
    }
}
