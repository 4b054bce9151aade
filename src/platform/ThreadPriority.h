#pragma once

// The calling thread as the task system keeps it.
struct NativeThread;

// Puts the process in the normal priority class, takes a handle of the
// calling thread that stays valid from other threads and raises the thread
// to above-normal priority. Null when no handle could be had. Where raising
// a thread's priority needs privileges (POSIX) the priority is left as it is.
NativeThread* TakeCurrentThread();

// Gives the handle back.
void ReleaseThread(NativeThread* thread);
