#pragma once

#include <optional>
#include <string>

// The program an encoder command line names, as it is looked up: the name as
// written in the application folder ("lame.exe"), then the name without ".exe"
// in the application folder, then that name on the PATH ("lame" from the
// distribution's package). A name with a slash is taken as a path of its own.
// Only executable regular files count; empty PATH entries are skipped, so the
// current folder is never searched by accident.
std::optional<std::string> FindProgram(const std::string& name, const std::string& appFolder,
                                       const char* pathVariable);

// The name without a trailing ".exe" (any case): what the user installs.
std::string ProgramBaseName(const std::string& name);
