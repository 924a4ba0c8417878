/* The common-controls subset the program uses (status window), with
   Win32's names, values and signatures, for builds on systems other than
   Windows. */
#ifndef ORBEL_STANDIN_COMMCTRL_H
#define ORBEL_STANDIN_COMMCTRL_H

#include <windows.h>

typedef struct tagINITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
} INITCOMMONCONTROLSEX, *LPINITCOMMONCONTROLSEX;

#define ICC_LISTVIEW_CLASSES 0x00000001
#define ICC_TREEVIEW_CLASSES 0x00000002
#define ICC_BAR_CLASSES 0x00000004
#define ICC_WIN95_CLASSES 0x000000FF
#define ICC_STANDARD_CLASSES 0x00004000

#define STATUSCLASSNAMEA "msctls_statusbar32"
#define WC_BUTTONA "Button"
#define WC_EDITA "Edit"
#ifndef UNICODE
#define STATUSCLASSNAME STATUSCLASSNAMEA
#define WC_BUTTON WC_BUTTONA
#define WC_EDIT WC_EDITA
#endif

/* Common control styles. */
#define CCS_TOP 0x00000001
#define CCS_NOMOVEY 0x00000002
#define CCS_BOTTOM 0x00000003
#define CCS_NORESIZE 0x00000004
#define CCS_NOPARENTALIGN 0x00000008
#define CCS_NODIVIDER 0x00000040

/* Status window styles, messages and drawing types. */
#define SBARS_SIZEGRIP 0x0100
#define SBARS_TOOLTIPS 0x0800

#define SB_SETTEXTA (WM_USER + 1)
#define SB_GETTEXTA (WM_USER + 2)
#define SB_GETTEXTLENGTHA (WM_USER + 3)
#define SB_SETPARTS (WM_USER + 4)
#define SB_GETPARTS (WM_USER + 6)
#define SB_GETBORDERS (WM_USER + 7)
#define SB_SETMINHEIGHT (WM_USER + 8)
#define SB_SIMPLE (WM_USER + 9)
#define SB_GETRECT (WM_USER + 10)
#define SB_ISSIMPLE (WM_USER + 14)
#ifndef UNICODE
#define SB_SETTEXT SB_SETTEXTA
#define SB_GETTEXT SB_GETTEXTA
#define SB_GETTEXTLENGTH SB_GETTEXTLENGTHA
#endif

#define SBT_OWNERDRAW 0x1000
#define SBT_NOBORDERS 0x0100
#define SBT_POPOUT 0x0200
#define SBT_RTLREADING 0x0400
#define SBT_NOTABPARSING 0x0800
#define SB_SIMPLEID 0x00ff

#ifdef __cplusplus
extern "C" {
#endif

VOID WINAPI InitCommonControls(void);
BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);
HWND WINAPI CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id);

#ifdef __cplusplus
}
#endif

#ifndef UNICODE
#define CreateStatusWindow CreateStatusWindowA
#endif

#endif /* ORBEL_STANDIN_COMMCTRL_H */
