/* A DLL put beside the test program, standing for a copy someone planted there. */
__declspec(dllexport) int TbtfwPlanted(void) { return 1; }
