#pragma once
// The word the outputs for scripts use for a credible-limit choice, the
// same in the single run's JSON and in the case series' files.

// "two-sided", "lower" or "upper" for a CredibleLimitChoice.
const char* CredibleLimitKeyword(int credibleLimit);
