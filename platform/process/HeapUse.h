#pragma once
// How the process's heap gives memory back. A music player runs for days with a heap that is
// mostly the library's records; what it allocates for a while (the data file printed for a save,
// a parse, a page) should not stay resident once freed.

namespace quillo::process {

// Call once at the very start, before any thread is made. Until TuneHeapForLongRun, what is
// freed stays in the heap, large blocks included: the start's short-lived buffers (the data
// file's text, its parse, decoded pictures) then reuse memory already touched, where fresh pages
// would cost more than the work done in them (on a virtual machine several times more). The
// threads share two heaps instead of one each. Values set through GLIBC_TUNABLES or MALLOC_* in
// the environment are kept.
void TuneHeapForStart();

// The long run's rules, once the start's work is done: large blocks (a printed data file, a
// picture) are mapped on their own and returned when freed, and free memory at the heap's top
// goes back early. Free memory kept from the start stays until ReleaseFreeHeap.
void TuneHeapForLongRun();

// Returns the heap's free pages to the system (whole free pages inside it too, not only at its
// top). Costs a walk of the heap: call it after a burst of work, not in a loop.
void ReleaseFreeHeap();

}  // namespace quillo::process
