#pragma once
// Long work (an analysis) off the interface thread: the windows keep
// repainting, show the busy pointer and take no input until it is done, so
// no click or key made meanwhile is acted on afterwards.
#include <functional>

namespace platform {

// Runs work on a thread of its own and returns when it has finished. Until
// then the event loop goes on, but every input event (mouse, keys, wheel,
// touch, a close from the window manager) is dropped. An exception thrown by
// work is thrown again here, on the calling thread. A message work raises is
// shown by the calling thread (see interface_thread_messages.h).
void RunWhileBusy(const std::function<void()>& work);

// True while RunWhileBusy is waiting for its work.
bool Busy();

}  // namespace platform
