// A DLL that the fake installed runtime imports and that lies only in the
// runtime's own folder: the runtime loads only when that folder is searched
// for its dependencies.
#include <windows.h>

extern "C" __declspec(dllexport) int FakeRuntimePartReady() {
    return 1;
}
