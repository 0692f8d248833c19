#pragma once
// The look framework controls draw with. Only the default manager's class is
// recorded; the program's skinned controls draw themselves.

#include "framework/RuntimeClass.h"

class CMFCVisualManager : public CObject {
    DECLARE_DYNCREATE(CMFCVisualManager)

public:
    static void SetDefaultManager(const CRuntimeClass* pRTI);
    static const CRuntimeClass* GetDefaultManager();
};

class CMFCVisualManagerWindows : public CMFCVisualManager {
    DECLARE_DYNCREATE(CMFCVisualManagerWindows)
};
