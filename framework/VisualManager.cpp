#include "framework/VisualManager.h"

IMPLEMENT_DYNCREATE(CMFCVisualManager, CObject)
IMPLEMENT_DYNCREATE(CMFCVisualManagerWindows, CMFCVisualManager)

namespace {
const CRuntimeClass* g_defaultManager = RUNTIME_CLASS(CMFCVisualManager);
}

void CMFCVisualManager::SetDefaultManager(const CRuntimeClass* pRTI)
{
    if (pRTI != nullptr && pRTI->IsDerivedFrom(RUNTIME_CLASS(CMFCVisualManager))) g_defaultManager = pRTI;
}

const CRuntimeClass* CMFCVisualManager::GetDefaultManager()
{
    return g_defaultManager;
}
