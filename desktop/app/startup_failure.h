#pragma once
// Until the application object exists, a fatal message of the toolkit (no
// display to connect to, no usable platform plugin) ends the program with a
// message in the user's terms and exit status 1, not with an abort.
namespace platform {

void ReportStartupFailureInsteadOfAbort();
// From here on the toolkit's messages go their usual way again.
void StartupDone();

}  // namespace platform
