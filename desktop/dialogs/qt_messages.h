#pragma once
// The desktop program's message channel: modal message boxes with the
// toolkit's standard look, centred on the screen.
#include "foundation/messages.h"

namespace platform {

class QtMessages : public MessageChannel {
public:
    Answer Show(MessageKind kind, const std::string& text) override;
    void Beep() override;
};

}  // namespace platform
