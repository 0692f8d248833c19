#pragma once
// Run-time classes: enough for AfxBeginThread to create a thread object
// from its class, as MFC does.

#include <cstddef>

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const
    {
        for (const CRuntimeClass* type = this; type != nullptr; type = type->m_pBaseClass) {
            if (type == base) return true;
        }
        return false;
    }
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    static const CRuntimeClass classCObject;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                   \
public:                                                               \
    static const CRuntimeClass class##class_name;                     \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, create)                          \
    const CRuntimeClass class_name::class##class_name = {#class_name,                         \
        static_cast<int>(sizeof(class_name)), create, RUNTIME_CLASS(base_class_name)};        \
    const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)              \
    CObject* class_name::CreateObject() { return new class_name; }    \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject)
