// What the console commands share about failing and about their texts: the message on
// standard error, and the condition made of the command's texts and those of --not.
#pragma once

#include "cli_options.h"
#include "search/search_condition.h"

// "quillon-cli: " and the message on standard error; returns 2, the exit status of a failure.
int CliFail(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Adds the command's texts, then those of --not, to the condition with the options' case and
// regular-expression choice. 0 (after saying why) when a regular expression does not compile.
int AddCommandTexts(const CCliOptions& options, CSearchCondition* condition);
