#pragma once
// Test fake of the message channel: remembers every message and beep, answers
// confirmations from a script (Yes once the script is used up).
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "foundation/messages.h"

namespace platform {

class RecordingMessages : public MessageChannel {
public:
    struct Entry {
        MessageKind kind;
        std::string text;
    };
    Answer Show(MessageKind kind, const std::string& text) override
    {
        shown.push_back({kind, text});
        if (kind != MessageKind::Confirmation && kind != MessageKind::SaveChanges) return Answer::Ok;
        if (script.empty()) return Answer::Yes;
        Answer a = script.front();
        script.pop_front();
        return a;
    }
    void Beep() override { ++beeps; }

    void ScriptAnswers(std::initializer_list<Answer> answers) { script.insert(script.end(), answers); }
    void Clear() { shown.clear(); beeps = 0; script.clear(); }

    std::vector<Entry> shown;
    int beeps = 0;
    std::deque<Answer> script;
};

}  // namespace platform
