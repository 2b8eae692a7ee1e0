// Exports the library's one entry symbol, "main". A C++ compiler will not
// accept a function named main that returns a pointer, so the entry function
// keeps its own name and is bound to the symbol here: on Windows by the
// module-definition file, elsewhere by an assembler label.
#pragma once

#include "binding/AEffect.h"

#if defined(_WIN32)
#define PLUGIN_ENTRY_SYMBOL
#define PLUGIN_EXPORT
#else
#define PLUGIN_ENTRY_SYMBOL __asm__("main")
#define PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

extern "C" PLUGIN_EXPORT vst::AEffect* VST_CALL pluginMain(vst::HostCallback hostCallback)
    PLUGIN_ENTRY_SYMBOL;
