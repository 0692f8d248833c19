#pragma once
// Message maps in MFC's shape: a static table per class, chained to the base
// class's table. Each entry carries a small typed thunk, so a handler with the
// wrong signature does not compile and no member pointer is cast.

#include <windows.h>

#include "framework/DC.h"

class CCmdTarget;

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window or thread message; WM_COMMAND for command entries
    UINT nCode;     // notification code for WM_COMMAND entries
    UINT nID;       // control or command id for WM_COMMAND entries
    LRESULT (*pfnInvoke)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();      \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                     \
    {                                                                                   \
        using ThisClass [[maybe_unused]] = theClass;                                    \
        using TheBaseClass = baseClass;                                                 \
        static const AFX_MSGMAP_ENTRY messageEntries[] = {

#define END_MESSAGE_MAP()                                                               \
            {0, 0, 0, nullptr}};                                                        \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, messageEntries}; \
        return &messageMap;                                                             \
    }

#define TN_MAP_THUNK(call)                                                              \
    [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT {                   \
        (void)wParam; (void)lParam;                                                     \
        ThisClass* self = static_cast<ThisClass*>(target);                             \
        call;                                                                           \
    }

// void OnXxx(WPARAM, LPARAM), for messages posted to a thread.
#define ON_THREAD_MESSAGE(message, memberFxn) \
    {message, 0, 0, TN_MAP_THUNK(self->memberFxn(wParam, lParam); return 0)},

// LRESULT OnXxx(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn) \
    {message, 0, 0, TN_MAP_THUNK(return self->memberFxn(wParam, lParam))},

// void OnXxx(), for a command or a control's notification.
#define ON_CONTROL(code, id, memberFxn) \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), TN_MAP_THUNK(self->memberFxn(); return 0)},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)

#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, TN_MAP_THUNK(self->OnPaint(); return 0)},
// BOOL OnEraseBkgnd(CDC*)
#define ON_WM_ERASEBKGND()                                                              \
    {WM_ERASEBKGND, 0, 0, TN_MAP_THUNK(CDC dc; dc.Attach(reinterpret_cast<HDC>(wParam)); \
                                       return self->OnEraseBkgnd(&dc))},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, TN_MAP_THUNK(return reinterpret_cast<LRESULT>(self->OnQueryDragIcon()))},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, TN_MAP_THUNK(self->OnSysCommand(static_cast<UINT>(wParam), lParam); return 0)},
#define ON_WM_LBUTTONDOWN()                                                                        \
    {WM_LBUTTONDOWN, 0, 0, TN_MAP_THUNK(self->OnLButtonDown(static_cast<UINT>(wParam),              \
        CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))); return 0)},
// HBRUSH OnCtlColor(CDC*, CWnd*, UINT nCtlColor), for every WM_CTLCOLOR*
// message; nCtlColor is CTLCOLOR_MSGBOX (0) to CTLCOLOR_STATIC (6). The
// control's object is a temporary one unless the control is bound.
#define TN_CTLCOLOR_ENTRY(message)                                                                      \
    {message, 0, 0, TN_MAP_THUNK(CDC dc; dc.Attach(reinterpret_cast<HDC>(wParam));                      \
        return reinterpret_cast<LRESULT>(self->OnCtlColor(&dc, CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), \
                                                            (message) - WM_CTLCOLORMSGBOX)))},
#define ON_WM_CTLCOLOR()                                                                               \
    TN_CTLCOLOR_ENTRY(WM_CTLCOLORMSGBOX) TN_CTLCOLOR_ENTRY(WM_CTLCOLOREDIT)                             \
    TN_CTLCOLOR_ENTRY(WM_CTLCOLORLISTBOX) TN_CTLCOLOR_ENTRY(WM_CTLCOLORBTN)                             \
    TN_CTLCOLOR_ENTRY(WM_CTLCOLORDLG) TN_CTLCOLOR_ENTRY(WM_CTLCOLORSCROLLBAR)                           \
    TN_CTLCOLOR_ENTRY(WM_CTLCOLORSTATIC)
#define ON_WM_DESTROY() \
    {WM_DESTROY, 0, 0, TN_MAP_THUNK(self->OnDestroy(); return 0)},
