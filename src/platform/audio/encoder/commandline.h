#pragma once

#include <optional>
#include <string>
#include <vector>

// Splits an encoder command line into its program and arguments the way the
// command lines are written for the encoders: spaces (and tabs) separate, double
// quotes group and are dropped, so "a b" is one argument and "" an empty one.
// No shell ever sees the text. Empty when a quote is left open.
std::optional<std::vector<std::string>> SplitCommandLine(const std::string& line);
