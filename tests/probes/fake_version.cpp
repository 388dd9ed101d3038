// Preloaded by the tests to make Py_GetVersion report another interpreter version
// (the one in VANTREL_FAKE_VERSION), so that the modules' version gate can be seen refusing.
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) const char *Py_GetVersion() {
    const char *fake = std::getenv("VANTREL_FAKE_VERSION");
    return fake ? fake : "3.13.0";
}
