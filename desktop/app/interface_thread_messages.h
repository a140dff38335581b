#pragma once
// The one way a message raised during a run reaches the user: work done off
// the interface thread (an analysis, a case series) raises its messages
// through this channel, which has the interface thread show them through the
// channel that was in use, while the worker waits for the answer. Widgets are
// thus only ever made on the interface thread.
#include "foundation/messages.h"

namespace platform {

class InterfaceThreadMessages : public MessageChannel {
public:
    // Forwards to the channel in use when it is made, and installs itself
    // until it is destroyed. Make it on the interface thread, whose event loop
    // must run while a worker may raise a message.
    InterfaceThreadMessages();
    ~InterfaceThreadMessages() override;
    InterfaceThreadMessages(const InterfaceThreadMessages&) = delete;
    InterfaceThreadMessages& operator=(const InterfaceThreadMessages&) = delete;

    Answer Show(MessageKind kind, const std::string& text) override;
    void Beep() override;

private:
    MessageChannel& target_;
    MessageChannel* previous_;
};

// True while the interface thread shows a message forwarded from a worker:
// the input of a run's blocked windows must reach that message.
bool ShowingForwardedMessage();

}  // namespace platform
