/* The companion: found only through the search path. */
__declspec(dllexport) int SkelvaneCompanion(void) { return 7; }
