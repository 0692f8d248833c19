#include "framework/CmdTarget.h"

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), nullptr, nullptr};

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY noEntries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP messageMap = {&NoBaseMessageMap, noEntries};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr; map = map->pfnGetBaseMap()) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfnInvoke != nullptr; ++entry) {
            if (entry->nMessage != message) continue;
            if (message == WM_COMMAND && (entry->nCode != code || entry->nID != id)) continue;
            return entry;
        }
    }
    return nullptr;
}
