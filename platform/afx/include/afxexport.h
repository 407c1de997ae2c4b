#pragma once

// The framework library exports its API; everything else stays inside.
#define AFX_API __attribute__((visibility("default")))
// Each module that links the framework's start-up part gets its own copy of
// these; they never leave the module.
#define AFX_MODULE_LOCAL __attribute__((visibility("hidden")))
