#pragma once
// Text from files (case labels, names, paths) shown on a terminal: control
// characters would act on the terminal (escape sequences, the bell), so
// they are shown as escapes instead.
#include <string>

namespace platform {

// The text with every control character but the line feed and the tab
// written as \xHH (C0 controls and DEL) or \u00HH (the C1 controls U+0080 to
// U+009F in UTF-8); everything else as it is.
std::string EscapeControlCharacters(const std::string& text);

}  // namespace platform
