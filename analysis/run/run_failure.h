#pragma once
// What the user is told when an analysis ends with an error. The engine and
// the distributions raise errors in their own terms ("An argument of the
// incomplete gamma function is too large ..."); the user is told what
// happened in terms of the entries and what to check, and the technical text
// follows as the details. Every front end and the case series use this one
// translation.
#include <exception>
#include <string>

// Text that starts the details part of a message ('\r' starts a new line).
inline constexpr char AnalysisFailureDetails[] = "\r\rDetails: ";

// The user's message for an error that ended an analysis:
//   EAnalysisError      its own text (already written for the user);
//   EArgumentError      what the argument means for the case's data, then
//                       the details;
//   EFloatingPointError numbers too extreme for the computation, then the
//                       details;
//   std::bad_alloc      not enough memory;
//   anything else       an internal fault, then the details.
std::string AnalysisFailureMessage(const std::exception& error);
// The same for an error caught as an exception_ptr (a non-standard error is
// an internal fault). An empty pointer gives an empty text.
std::string AnalysisFailureMessage(const std::exception_ptr& error);

// Called inside a catch block: throws EAnalysisError carrying
// AnalysisFailureMessage of the error being handled.
[[noreturn]] void RethrowAsAnalysisError();

// What the user is told when an error ends a command (opening, saving,
// printing, a whole run): the error's own text, which the layers below write
// for the user (an analysis error already carries AnalysisFailureMessage);
// not enough memory; or, for an error of no known kind, that an unexpected
// error ended the command. Every front end's command guard uses it.
std::string CommandFailureMessage(const std::exception_ptr& error);
