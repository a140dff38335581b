#include "foundation/messages.h"

#include "foundation/terminal_text.h"

#include <cstdio>

namespace platform {
namespace {

class SilentMessages : public MessageChannel {
public:
    Answer Show(MessageKind kind, const std::string&) override
    {
        if (kind == MessageKind::SaveChanges) return Answer::Cancel;
        return kind == MessageKind::Confirmation ? Answer::Yes : Answer::Ok;
    }
    void Beep() override {}
};

SilentMessages silent;
MessageChannel* current = &silent;

}  // namespace

const char* MessageTitle(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning: return "Warning";
    case MessageKind::Information: return "Information";
    case MessageKind::Error: return "Error";
    case MessageKind::Confirmation:
    case MessageKind::SaveChanges: return "Confirm";
    }
    return "";
}

MessageChannel& Messages() { return *current; }

MessageChannel* SetMessages(MessageChannel* channel)
{
    MessageChannel* old = current;
    current = channel ? channel : &silent;
    return old == &silent ? nullptr : old;
}

void ShowWarning(const std::string& text) { Messages().Show(MessageKind::Warning, text); }
void ShowInformation(const std::string& text) { Messages().Show(MessageKind::Information, text); }
void ShowError(const std::string& text) { Messages().Show(MessageKind::Error, text); }
bool Confirm(const std::string& text) { return Messages().Show(MessageKind::Confirmation, text) == Answer::Yes; }
Answer AskToSaveChanges(const std::string& text) { return Messages().Show(MessageKind::SaveChanges, text); }
void Beep() { Messages().Beep(); }

Answer StderrMessages::Show(MessageKind kind, const std::string& text)
{
    std::string shown = text;
    for (char& c : shown)
        if (c == '\r') c = '\n';
    std::fprintf(stderr, "%s: %s\n", MessageTitle(kind), EscapeControlCharacters(shown).c_str());
    // No one can answer on the command line: nothing is thrown away unasked.
    if (kind == MessageKind::SaveChanges) return Answer::Cancel;
    return kind == MessageKind::Confirmation ? Answer::Yes : Answer::Ok;
}

}  // namespace platform
