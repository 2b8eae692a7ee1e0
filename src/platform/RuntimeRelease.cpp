// The plug-in carries its own copy of the C++ runtime. At load that copy
// reserves an emergency pool for exceptions thrown when memory runs out, and
// it never frees the pool itself: a process that loads and unloads the library
// again and again (a host scanning its plug-ins, or reloading a project) would
// lose the pool at every unload. The runtime's release hook gives it back when
// the library is unloaded (or the process ends).
namespace __gnu_cxx {
void __freeres();
}

namespace {

__attribute__((destructor)) void releaseRuntimeReserves() {
    __gnu_cxx::__freeres();
}

}  // namespace
