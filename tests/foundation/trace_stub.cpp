// A stand-in for the trace library, for the tests of where it is loaded from.
extern "C" __declspec(dllexport) int tracewprintf(const wchar_t*, ...) { return 4242; }
