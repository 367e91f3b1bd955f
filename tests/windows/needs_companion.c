/* Loads only when its companion DLL can be found. */
__declspec(dllimport) int SkelvaneCompanion(void);
__declspec(dllexport) int SkelvaneNeedsCompanion(void) { return SkelvaneCompanion() + 1; }
