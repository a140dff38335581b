#pragma once
// What `harrow-cli --help` says besides the option list.
extern const char* const CliDescription;
extern const char* const CliHelpFooter;
