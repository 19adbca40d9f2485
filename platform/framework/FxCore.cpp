#include "platform/framework/FxState.h"

const CRuntimeClass CObject::classCObject = {"CObject", int(sizeof(CObject)), nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBaseClass) return TRUE;
    return FALSE;
}

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

BOOL CCmdTarget::OnMessageMap(UINT, WPARAM, LPARAM, LRESULT&) { return FALSE; }

FxProcessState& FxState() {
    static FxProcessState state;
    return state;
}

FxThreadState& FxThread() {
    static thread_local FxThreadState state;
    return state;
}

void FxDeleteTempMaps() {
    FxProcessState& state = FxState();
    CWnd::DeleteTempMap();
    CMenu::DeleteTempMap();
    state.dcs.DeleteTemporaries([](CDC* p) { p->m_hDC = nullptr; });
    state.gdiObjects.DeleteTemporaries([](CGdiObject* p) { p->m_hObject = nullptr; });
}

void AfxDeleteTempMaps() { FxDeleteTempMaps(); }

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        FxState().framework = hInstance;
    } else if (reason == DLL_PROCESS_DETACH) {
        for (auto& entry : FxState().registeredClasses)
            ::UnregisterClassW(reinterpret_cast<LPCWSTR>(UINT_PTR(entry.first)), entry.second);
    }
    return TRUE;
}
