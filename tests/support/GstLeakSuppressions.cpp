// Linked into the test programs that run GStreamer pipelines.
// GLib keeps its quark table in blocks of 2048 and deliberately never frees a block it has
// outgrown (lock-free lookups may still read it). GStreamer registers more quarks than that, so
// the first block, allocated by GLib's library constructor, is reported as leaked at exit.
//
// The rule names the constructor's frame, so leaks made after start-up are still reported. GLib
// is built without frame pointers, so the fast unwinder stops inside it and would never see that
// frame: allocation stacks are taken with the full unwinder in this program.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:_dl_init\n";
}
extern "C" const char* __asan_default_options() {
  return "fast_unwind_on_malloc=0";
}
