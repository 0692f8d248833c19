#pragma once
// The root of every class with a message map.

#include "framework/MessageMap.h"
#include "framework/RuntimeClass.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)

public:
    // Finds the first entry for the message (and, for WM_COMMAND, its code and
    // id) along the chain of maps, most derived first.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;

    static const AFX_MSGMAP* GetThisMessageMap();

protected:
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// A map that chains nowhere: the base of every chain.
inline const AFX_MSGMAP* NoBaseMessageMap() { return nullptr; }
