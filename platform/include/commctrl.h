/* The common-controls subset the program uses (status window), with
   Win32's names, values and signatures, for builds on systems other than
   Windows. */
#ifndef ORBEL_STANDIN_COMMCTRL_H
#define ORBEL_STANDIN_COMMCTRL_H

#include <windows.h>

#define STATUSCLASSNAMEA "msctls_statusbar32"

/* Status window messages and drawing types. */
#define SB_SETTEXTA (WM_USER + 1)
#define SB_GETTEXTA (WM_USER + 2)
#define SB_GETTEXTLENGTHA (WM_USER + 3)
#define SB_SETPARTS (WM_USER + 4)
#ifndef UNICODE
#define SB_SETTEXT SB_SETTEXTA
#endif

#define SBT_OWNERDRAW 0x1000
#define SBT_NOBORDERS 0x0100

#ifndef RC_INVOKED
#ifdef __cplusplus
extern "C" {
#endif

VOID WINAPI InitCommonControls(void);
HWND WINAPI CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id);

#ifdef __cplusplus
}
#endif
#endif /* RC_INVOKED */

#endif /* ORBEL_STANDIN_COMMCTRL_H */
