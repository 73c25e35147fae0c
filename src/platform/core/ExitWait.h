#pragma once
// A build with AddressSanitizer checks for leaks at exit, and its checker stops every thread to
// read its stack. Qt starts its threads detached: waiting for one returns when its run is over,
// and the thread frees its data a moment later, as it ends. A thread still ending when the check
// runs has that data taken for a leak, or makes the checker itself crash. Called first in main,
// this has such a build wait at exit, a second at most, for the other threads to be gone;
// registered before any of Qt's statics, the wait runs after their destructors (which end Qt's
// own threads). In other builds it does nothing.
namespace velk {

void waitForOtherThreadsAtExit();

} // namespace velk
