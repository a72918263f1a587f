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
    const char* m_lpszClassName;  ///< class name, the key archives store and look up
    int m_nObjectSize;            ///< sizeof the class
    UINT m_wSchema;  ///< schema number written into archives; 0xFFFF for a class not serialisable
    CObject* (*m_pfnCreateObject)();  ///< creates a new object; null when not dynamically creatable
    const CRuntimeClass* (*m_pfnGetBaseClass)();  ///< record of the base class; null for CObject

    /// A new object of this class, or nullptr when the class cannot be created dynamically.
    CObject* CreateObject() const;
    /// True when this class is pBaseClass or derives from it.
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
    /// The registered class of that name, or nullptr.
    static const CRuntimeClass* FromName(const char* lpszClassName);
};

/// Registers a class record so that archives find it by name; unregisters it when the
/// module is unloaded. A record registered later under the same name replaces the earlier
/// one; null records and records without a name are ignored.
RVN_API void AfxClassInit(const CRuntimeClass* pNewClass);
/// Unregisters pClass, if it is the record registered under its name (a record that was
/// replaced by a later one of the same name leaves that one in place).
RVN_API void AfxClassTerm(const CRuntimeClass* pClass);

/// Registration object: registers a class record while it lives (IMPLEMENT_SERIAL defines
/// one per serialisable class at namespace scope).
struct RVN_API AFX_CLASSINIT {
    /// Registers pNewClass (AfxClassInit).
    explicit AFX_CLASSINIT(const CRuntimeClass* pNewClass);
    /// Unregisters the record (AfxClassTerm).
    ~AFX_CLASSINIT();
    AFX_CLASSINIT(const AFX_CLASSINIT&) = delete;
    AFX_CLASSINIT& operator=(const AFX_CLASSINIT&) = delete;
    const CRuntimeClass* m_pClass;  ///< the registered record
};

/// The run-time class record of class_name (a const CRuntimeClass*).
#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

/// In a class body: declares the class record, GetThisClass, the base-class accessor and the
/// GetRuntimeClass override (defined by IMPLEMENT_DYNAMIC).
#define DECLARE_DYNAMIC(class_name)               \
public:                                           \
    static const CRuntimeClass class##class_name; \
    static const CRuntimeClass* GetThisClass();   \
    static const CRuntimeClass* _GetBaseClass();  \
    const CRuntimeClass* GetRuntimeClass() const override;

/// DECLARE_DYNAMIC plus a static CreateObject, so that the class can be created from its
/// record (defined by IMPLEMENT_DYNCREATE or IMPLEMENT_SERIAL).
#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

/// In the body of a class that archives can write and re-create (same declarations as
/// DECLARE_DYNCREATE; IMPLEMENT_SERIAL makes the difference).
#define DECLARE_SERIAL(class_name) DECLARE_DYNCREATE(class_name)

/// Common part of the IMPLEMENT_ macros: defines the record with name, size, schema and
/// creation function, and the accessors DECLARE_DYNAMIC declared.
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

/// In the source file of a DECLARE_DYNAMIC class: a record with IsKindOf support, not
/// creatable and not serialisable (schema 0xFFFF).
#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    RVN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

/// In the source file of a DECLARE_DYNCREATE class: a creatable record (default constructor),
/// not serialisable (schema 0xFFFF).
#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() {                \
        return new class_name;                           \
    }                                                    \
    RVN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

/// In the source file of a DECLARE_SERIAL class: a creatable record with schema wSchema,
/// registered by name at load time so that archives can re-create the class.
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
    /// Record of CObject (not creatable, not serialisable).
    static const CRuntimeClass classCObject;
    /// The record of CObject.
    static const CRuntimeClass* GetThisClass();

    /// The record of the object's most derived class that declares one.
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    /// Writes or reads the object's data (ar.IsStoring() tells which); CObject has none.
    virtual void Serialize(CArchive& ar);
    /// Diagnostic check of the object's invariants; does nothing here.
    virtual void AssertValid() const;
    /// Diagnostic dump; does nothing here (see CDumpContext).
    virtual void Dump(CDumpContext& dc) const;

    /// TRUE when the object's class is pClass or derives from it (FALSE for null).
    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    /// TRUE when the object's class has a schema (declared with DECLARE_SERIAL).
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
