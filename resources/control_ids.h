/* The ids of the window's template and its controls: one list for the dialog template
   (tbtfw.rc), the code that makes and lays out the controls (app/window_layout.h) and the
   tests that find them from outside (tests/lib/tool_session.sh reads this file). A plain C
   header of #defines alone, which the resource compiler reads too. */
#pragma once

#define IDD_UPDATE 100
#define IDI_TOOL 128

#define IDC_EXIT 1  /* IDOK: Enter */
#define IDC_CLOSE 2 /* IDCANCEL: Escape */
#define IDC_PROMPT_ICON 149
#define IDC_ILLUSTRATION 1001
#define IDC_CAUTION_ICON 1002
#define IDC_UPDATE 1003
#define IDC_MESSAGE 1004
#define IDC_CAUTION 1005
#define IDC_SPINNER 1006
#define IDC_SHUTDOWN_NOW 1007
#define IDC_SHUTDOWN_LATER 1008
#define IDC_TITLE 1009
#define IDC_SUBTITLE 1010
