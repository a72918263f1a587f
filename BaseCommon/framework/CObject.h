/// @file
/// Root class of the framework layer with run-time class records, dynamic creation by
/// class name and serialisation through CArchive.
///
/// A serialisable class writes DECLARE_SERIAL(Name) in its body and
/// IMPLEMENT_SERIAL(Name, Base, schema) in its source file. The latter defines the exported
/// record Name::className and registers it at load time, so that an archive can create the
/// class from the name it stores.
#ifndef RVN_FRAMEWORK_COBJECT_H
#define RVN_FRAMEWORK_COBJECT_H

/// @addtogroup framework
/// @{

#include "BaseCommon/Export.h"
#include "BaseCommon/framework/Types.h"

class CObject;
class CArchive;

/// Diagnostic sink of the framework's Dump protocol. There is no debug output here; the
/// type exists so that the diagnostic slots keep their signatures.
class RVN_API CDumpContext {};

/// Run-time record of a class: its name, size, schema, creation function and base.
/// Plain aggregate so that records are constant-initialised before any static constructor.
struct RVN_API CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;  ///< schema number written into archives; 0xFFFF for a class not serialisable
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* (*m_pfnGetBaseClass)();

    /// A new object of this class, or nullptr when the class cannot be created dynamically.
    CObject* CreateObject() const;
    /// True when this class is pBaseClass or derives from it.
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    /// The registered class of that name, or nullptr.
    static const CRuntimeClass* FromName(const char* lpszClassName);
};

/// Registers a class record so that archives find it by name; unregisters it when the
/// module is unloaded.
RVN_API void AfxClassInit(const CRuntimeClass* pNewClass);
RVN_API void AfxClassTerm(const CRuntimeClass* pClass);

struct RVN_API AFX_CLASSINIT {
    explicit AFX_CLASSINIT(const CRuntimeClass* pNewClass);
    ~AFX_CLASSINIT();
    AFX_CLASSINIT(const AFX_CLASSINIT&) = delete;
    AFX_CLASSINIT& operator=(const AFX_CLASSINIT&) = delete;
    const CRuntimeClass* m_pClass;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)               \
public:                                           \
    static const CRuntimeClass class##class_name; \
    static const CRuntimeClass* GetThisClass();   \
    static const CRuntimeClass* _GetBaseClass();  \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

#define RVN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew) \
    const CRuntimeClass* class_name::_GetBaseClass() {                           \
        return RUNTIME_CLASS(base_class_name);                                   \
    }                                                                            \
    const CRuntimeClass class_name::class##class_name = {                        \
        #class_name, static_cast<int>(sizeof(class_name)), wSchema, pfnNew,      \
        &class_name::_GetBaseClass};                                             \
    const CRuntimeClass* class_name::GetThisClass() {                            \
        return RUNTIME_CLASS(class_name);                                        \
    }                                                                            \
    const CRuntimeClass* class_name::GetRuntimeClass() const {                   \
        return RUNTIME_CLASS(class_name);                                        \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    RVN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() {                \
        return new class_name;                           \
    }                                                    \
    RVN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

/// Also defines the free extraction operator, declared by the class's header as
///   RVN_API CArchive& operator>>(CArchive&, class_name*&);
#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                 \
    CObject* class_name::CreateObject() {                                                      \
        return new class_name;                                                                 \
    }                                                                                          \
    RVN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
    static const AFX_CLASSINIT rvn_init_##class_name(RUNTIME_CLASS(class_name));               \
    CArchive& operator>>(CArchive& ar, class_name*& pOb) {                                     \
        pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));              \
        return ar;                                                                             \
    }

/// Root class of the framework layer with run-time class records, dynamic creation by class
/// name and serialisation through CArchive.
/// @see CObject.h for the contracts that hold for the whole class.
class RVN_API CObject {
public:
    static const CRuntimeClass classCObject;
    static const CRuntimeClass* GetThisClass();

    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    virtual void Serialize(CArchive& ar);
    virtual void AssertValid() const;
    virtual void Dump(CDumpContext& dc) const;

    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;

protected:
    CObject() = default;

public:
    /// Framework objects are not copied through the base: a class that is copyable says so.
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

/// @}

#endif  // RVN_FRAMEWORK_COBJECT_H
