#include "BaseCommon/framework/CObject.h"

#include <cstring>
#include <map>
#include <string>

namespace {

// Name -> record of every class registered by a loaded module. Function-local so that it
// exists before the first static registration and outlives the last unregistration.
std::map<std::string, const CRuntimeClass*>& Registry() {
    static std::map<std::string, const CRuntimeClass*> registry;
    return registry;
}

}  // namespace

CObject* CRuntimeClass::CreateObject() const {
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    if (!pBaseClass)
        return FALSE;
    for (const CRuntimeClass* p = this; p;
         p = p->m_pfnGetBaseClass ? p->m_pfnGetBaseClass() : nullptr) {
        if (p == pBaseClass)
            return TRUE;
    }
    return FALSE;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* lpszClassName) {
    if (!lpszClassName)
        return nullptr;
    const auto& reg = Registry();
    const auto it = reg.find(lpszClassName);
    return it == reg.end() ? nullptr : it->second;
}

void AfxClassInit(const CRuntimeClass* pNewClass) {
    if (pNewClass && pNewClass->m_lpszClassName)
        Registry()[pNewClass->m_lpszClassName] = pNewClass;
}

void AfxClassTerm(const CRuntimeClass* pClass) {
    if (!pClass || !pClass->m_lpszClassName)
        return;
    auto& reg = Registry();
    const auto it = reg.find(pClass->m_lpszClassName);
    if (it != reg.end() && it->second == pClass)
        reg.erase(it);
}

AFX_CLASSINIT::AFX_CLASSINIT(const CRuntimeClass* pNewClass) : m_pClass(pNewClass) {
    AfxClassInit(pNewClass);
}

AFX_CLASSINIT::~AFX_CLASSINIT() {
    AfxClassTerm(m_pClass);
}

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF,
                                             nullptr, nullptr};

const CRuntimeClass* CObject::GetThisClass() {
    return &classCObject;
}

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

CObject::~CObject() = default;

void CObject::Serialize(CArchive&) {}

void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext&) const {}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const {
    return GetRuntimeClass()->m_wSchema != 0xFFFF;
}
