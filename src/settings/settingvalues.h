#pragma once

// How the settings store writes its values as texts and reads them back. A text that is not
// a value of the expected kind reads as nothing, so the control keeps its state for it.

#include <QString>

#include <optional>

// "True" or "False".
QString TruthText(bool value);
// True or False in any case, or a number: 0 is false, any other number true.
std::optional<bool> ParseTruth(const QString& text);
// A whole decimal number that fits an int, optionally signed and between spaces; nothing else.
std::optional<int> ParseInteger(const QString& text);
// The output folder before the user chose one: "Ripped Audio" in the user's home.
QString DefaultExtractPath();
// The folder a typed output folder names: "~" and "~/…" are in the user's home, and so is a
// relative folder ("Music" is ~/Music), never in the program's own folder. Empty text stays.
QString OutputFolderOf(const QString& typed);
