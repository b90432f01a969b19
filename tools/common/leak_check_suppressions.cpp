// Sanitizer builds: libgettextpo keeps a few small allocations of its parser (message contexts,
// the state of a failed read) past po_file_free. They are the library's, not ours, so the leak
// checker is told to ignore allocations made inside it. Without the leak checker this function
// is never called.
extern "C" const char* __lsan_default_suppressions() { return "leak:libgettextpo.so\n"; }
