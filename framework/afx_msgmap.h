// Message maps: static tables that bind window messages and commands to
// handler methods. Each entry macro names the handler's signature, and the
// entry's thunk checks it at compile time, so a handler of the wrong shape
// does not build. A class's map chains to its base class's map.
#pragma once

#include <windows.h>

#include <type_traits>

class CCmdTarget;
class CDC;
class CWnd;

#ifndef WM_CTLCOLOR
// The whole WM_CTLCOLOR* family goes to one map entry, as in the framework.
#define WM_CTLCOLOR 0x0019
#endif

// What a thunk may need of the message being dispatched.
struct AFX_MSGPARAMS {
    CDC* pDC;        // colour requests: the control's device context (borrowed)
    CWnd* pWnd;      // colour requests: the control, or the window itself
    UINT nCtlColor;  // colour requests: CTLCOLOR_* kind
    UINT nDpi;       // WM_DPICHANGED: the window's new DPI
};

using AFX_PMSG_THUNK = LRESULT (*)(CCmdTarget* target, const AFX_MSGPARAMS& params);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND, WM_CTLCOLOR or WM_DPICHANGED; 0 ends the table
    UINT nCode;     // WM_COMMAND: notification code (0 for commands and BN_CLICKED)
    UINT nID;       // WM_COMMAND: command or control id
    AFX_PMSG_THUNK pfnThunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root of the chain
    const AFX_MSGMAP_ENTRY* lpEntries;
};

namespace afx {

// True when Handler is a member function of T (or of a base of T) whose
// signature is exactly Sig.
template <class T, class Sig, class Handler>
struct IsHandlerOf : std::false_type {};
template <class T, class Sig, class C>
struct IsHandlerOf<T, Sig, Sig C::*> : std::is_base_of<C, T> {};

// void OnCommand()
template <class T, auto Handler>
LRESULT CommandThunk(CCmdTarget* target, const AFX_MSGPARAMS&) {
    static_assert(IsHandlerOf<T, void(), decltype(Handler)>::value,
                  "command handlers are void OnX()");
    (static_cast<T*>(target)->*Handler)();
    return 0;
}

// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
template <class T, auto Handler>
LRESULT CtlColorThunk(CCmdTarget* target, const AFX_MSGPARAMS& p) {
    static_assert(IsHandlerOf<T, HBRUSH(CDC*, CWnd*, UINT), decltype(Handler)>::value,
                  "colour handlers are HBRUSH OnCtlColor(CDC*, CWnd*, UINT)");
    return reinterpret_cast<LRESULT>(
        (static_cast<T*>(target)->*Handler)(p.pDC, p.pWnd, p.nCtlColor));
}

// void OnDpiChanged(UINT dpi)
template <class T, auto Handler>
LRESULT DpiChangedThunk(CCmdTarget* target, const AFX_MSGPARAMS& p) {
    static_assert(IsHandlerOf<T, void(UINT), decltype(Handler)>::value,
                  "DPI handlers are void OnDpiChanged(UINT dpi)");
    (static_cast<T*>(target)->*Handler)(p.nDpi);
    return 0;
}

// The first entry of the map chain that matches, or null.
const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id);

}  // namespace afx

// Root of every map chain: anything that handles commands.
class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    virtual const AFX_MSGMAP* GetMessageMap() const;
    // Runs the handler mapped to the command or notification; TRUE when one ran.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
};

// clang-format off
#define DECLARE_MESSAGE_MAP()                                                       \
protected:                                                                          \
    static const AFX_MSGMAP* GetThisMessageMap();                                   \
public:                                                                             \
    const AFX_MSGMAP* GetMessageMap() const override;                               \
protected:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                               \
        using ThisClass [[maybe_unused]] = theClass;                                \
        using TheBaseClass = baseClass;                                             \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                           \
            {0, 0, 0, nullptr}};                                                    \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
        return &messageMap;                                                         \
    }

// Entries, each with the signature its handler must have.
// void memberFxn(): a command (menu, accelerator, IDOK/IDCANCEL)
#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, 0, (id), &afx::CommandThunk<ThisClass, memberFxn>},
// void memberFxn(): a control's notification
#define ON_CONTROL(code, id, memberFxn) \
    {WM_COMMAND, (code), (id), &afx::CommandThunk<ThisClass, memberFxn>},
// void memberFxn()
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
// void memberFxn()
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
// HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
#define ON_WM_CTLCOLOR() \
    {WM_CTLCOLOR, 0, 0, &afx::CtlColorThunk<ThisClass, &ThisClass::OnCtlColor>},
// void OnDpiChanged(UINT dpi): the window moved to a monitor of another
// scale. A notice: the default handling (resizing the window) goes on.
#define ON_WM_DPICHANGED() \
    {WM_DPICHANGED, 0, 0, &afx::DpiChangedThunk<ThisClass, &ThisClass::OnDpiChanged>},
// clang-format on
