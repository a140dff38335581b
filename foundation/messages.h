#pragma once
// The reporting channel through which every part of the program shows a
// message to the user. The desktop program installs one that opens modal
// message boxes; the command line installs one that writes to standard error;
// tests install a recorder with scripted answers. Code that reports a message
// never knows which.
#include <string>

namespace platform {

// SaveChanges asks about unsaved work: Yes saves, No discards, Cancel keeps
// the user where they were.
enum class MessageKind { Warning, Information, Error, Confirmation, SaveChanges };
enum class Answer { Ok, Yes, No, Cancel };

// "Warning", "Information", "Error" or "Confirm".
const char* MessageTitle(MessageKind kind);

class MessageChannel {
public:
    virtual ~MessageChannel() = default;
    // Shows the text modally and returns once the user has answered: Ok for
    // the three one-button kinds, Yes or No for a confirmation, Yes, No or
    // Cancel for SaveChanges. A carriage
    // return ('\r') in the text starts a new line.
    virtual Answer Show(MessageKind kind, const std::string& text) = 0;
    virtual void Beep() = 0;
};

// The channel in use. Until one is installed, messages go nowhere and a
// confirmation is answered Yes (a SaveChanges question Cancel: nothing is
// thrown away unasked).
MessageChannel& Messages();
// Installs a channel (nullptr restores the silent default); returns the old one.
MessageChannel* SetMessages(MessageChannel* channel);

// Shorthands over Messages().
void ShowWarning(const std::string& text);
void ShowInformation(const std::string& text);
void ShowError(const std::string& text);
bool Confirm(const std::string& text);   // true for Yes
Answer AskToSaveChanges(const std::string& text);
void Beep();

// Installs a channel for the lifetime of a scope and restores the previous one.
class ScopedMessages {
public:
    explicit ScopedMessages(MessageChannel& channel) : previous_(SetMessages(&channel)) {}
    ~ScopedMessages() { SetMessages(previous_); }
    ScopedMessages(const ScopedMessages&) = delete;
    ScopedMessages& operator=(const ScopedMessages&) = delete;
private:
    MessageChannel* previous_;
};

// Writes each message to standard error with its title; confirmations are
// answered Yes. Used by the command line.
class StderrMessages : public MessageChannel {
public:
    Answer Show(MessageKind kind, const std::string& text) override;
    void Beep() override {}
};

}  // namespace platform
