/* Imports one function from each non-KnownDLL the tool could be tricked into loading, the
 * way the tool must not: a planted copy of any of them beside this program runs. */
#include <windows.h>
#include <commctrl.h>
#include <powrprof.h>

typedef struct {
  UINT32 version;
  void* callback;
  BOOL noThread;
  BOOL noCodecs;
} GdiplusInput;
int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusInput* input, void* output);

int main(void) {
  SYSTEM_BATTERY_STATE battery;
  ULONG_PTR token = 0;
  GdiplusInput input = {1, NULL, FALSE, FALSE};
  InitCommonControls();
  GdiplusStartup(&token, &input, NULL);
  return (int)CallNtPowerInformation(SystemBatteryState, NULL, 0, &battery, sizeof battery);
}
