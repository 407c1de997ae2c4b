#pragma once

// Loading plug-ins and naming the module code lives in: dlopen and dladdr on
// POSIX (OsModulesPosix.cpp), LoadLibrary and GetModuleHandleEx on Windows
// (OsModulesWin32.cpp). A module's base address is its instance handle.
#include <string>

namespace os {

// The loaded module, or null with the system's reason in `error`.
void* LoadModule(const std::string& path, std::string& error);
void* FindSymbol(void* module, const char* name);
void UnloadModule(void* module);

// The base address of the module a LoadModule handle names; null when unknown.
const void* BaseOfModule(void* module);
// The base address and file of the module that holds `address`; false when none does.
bool ModuleOfAddress(const void* address, const void*& base, std::string& path);
// The running program's file; empty when it cannot be told.
std::string ExecutablePath();

}  // namespace os
