// What "/?" shows: the switches and the exit codes.
#pragma once

inline constexpr char16_t kUsageText[] =
    u"TbtFwUpdate [/silent [/shutdown] | /check] [/log:PATH] [/downgradable] [/LID:hex]\r\n"
    u"\r\n"
    u"  (none)        open the window; the user presses Update\r\n"
    u"  /silent       no window: update at once if the image passes every check\r\n"
    u"  /shutdown     with /silent: power the computer off after a successful write\r\n"
    u"  /check        no window, nothing written: report what an update would do\r\n"
    u"  /log:PATH     append a log of the run to PATH (UTF-8)\r\n"
    u"  /downgradable allow an image older than the controller's firmware\r\n"
    u"  /LID:hex      the language of the window's texts, e.g. /LID:407\r\n"
    u"\r\n"
    u"Exit codes (use \"start /wait\" in scripts):\r\n"
    u"  0     nothing to do (/check: the image is newer and would be written)\r\n"
    u"  1     /check: the controller already has this version\r\n"
    u"  2     /check: the controller's firmware is newer\r\n"
    u"  3010  written; power the computer off (not restart) to complete\r\n"
    u"  1641  written; the power-off has started\r\n"
    u"  1602  the window was closed without an update\r\n"
    u"  1603  failed; see the log\r\n"
    u"  1618  another copy is running: retry later\r\n"
    u"  1633  no supported controller on this computer\r\n"
    u"  1639  a switch was given wrongly, or the log cannot be opened\r\n"
    u"  3020  on battery: retry on mains power\r\n";
