#pragma once
// The functions the program uses from system libraries outside Windows'
// known set (KnownDLLs), which the loader would look for in the program's
// folder first if the import table named them. Each is defined here under
// its own name and signature, as the system headers declare it, so callers
// (and libcurl) call it as usual; its first call binds it to the System32
// copy (SystemLibrary.h), and a library or function that is not there gives
// the result a failed call would.
#include "framework/SystemLibrary.h"

template <auto Function>
class SystemImport {
public:
    using Pointer = decltype(Function);

    // Looked up once; the first call may come from any thread.
    static Pointer Address(const wchar_t* library, const char* name)
    {
        static const Pointer address =
            reinterpret_cast<Pointer>(reinterpret_cast<void (*)()>(SystemFunctionAddress(library, name)));
        return address;
    }

    template <typename Result, typename... Arguments>
    static Result Call(const wchar_t* library, const char* name, Result unavailable, Arguments... arguments)
    {
        const Pointer address = Address(library, name);
        return address != nullptr ? address(arguments...) : unavailable;
    }
};

// Defines definition with the headers' declaration of the system's
// function exported: its body calls the System32 copy, or gives unavailable
// where there is none.
#define TN_SYSTEM_FUNCTION(library, exported, unavailable, result, definition, parameters, arguments) \
    result WINAPI definition parameters                                                             \
    {                                                                                               \
        return SystemImport<&definition>::Call(library, exported, static_cast<result>(unavailable), \
                                               TN_SYSTEM_ARGUMENTS arguments);                      \
    }
#define TN_SYSTEM_ARGUMENTS(...) __VA_ARGS__

// A function the headers declare plainly: defined under its own name.
#define TN_SYSTEM_IMPORT(library, unavailable, result, name, parameters, arguments) \
    TN_SYSTEM_FUNCTION(library, #name, unavailable, result, name, parameters, arguments)

// A function the headers declare as imported (__declspec(dllimport)) is
// called through its import slot, a pointer named "__imp_" and its linker
// name: the slot is defined, pointing at a function of the same signature.
// bytes: the size of its arguments, which 32-bit linker names carry.
#if defined(__i386__)
#define TN_IMPORT_SLOT_NAME(name, bytes) "__imp__" #name "@" #bytes
#else
#define TN_IMPORT_SLOT_NAME(name, bytes) "__imp_" #name
#endif
#define TN_SYSTEM_IMPORT_SLOT(library, unavailable, result, name, bytes, parameters, arguments)                \
    static TN_SYSTEM_FUNCTION(library, #name, unavailable, result, name##FromSystem, parameters, arguments) \
    extern "C" decltype(&name##FromSystem) name##ImportSlot __asm__(TN_IMPORT_SLOT_NAME(name, bytes));     \
    decltype(&name##FromSystem) name##ImportSlot = &name##FromSystem;
