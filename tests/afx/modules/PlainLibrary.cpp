// A shared library that does not use the framework.
extern "C" __attribute__((visibility("default"))) int PlainLibraryValue() { return 7; }
