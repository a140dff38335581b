#pragma once
// A small pool for independent tasks: the calling thread and up to
// `helpers` more threads take task numbers in turn.
#include <functional>

// Runs task(0 .. count-1), each once, on the calling thread and on helper
// threads (none where the machine has one core or a thread cannot start).
// `poll`, when given, is called on the calling thread only, after each task
// it ran and once more after all tasks are done; when it returns false no
// further task starts and the function returns false once the running ones
// end. The first exception a task throws stops the handing out likewise and
// is rethrown on the calling thread.
bool RunParallelTasks(int count, int helpers, const std::function<void(int)>& task,
                      const std::function<bool()>& poll);
