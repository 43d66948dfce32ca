/* A client library that stops short: it has the first two calls of a logon and no more. */
__declspec(dllexport) int OCIInitialize(unsigned mode, void* ctx, void* m, void* r, void* f) { return 0; }
__declspec(dllexport) int OCIEnvInit(void** env, unsigned mode, unsigned size, void** mem) { return 0; }
