#pragma once

// The names a running rip gives what it writes into an output folder. Each carries the random
// mark of the player that writes it: its spool folder ".mivo-spool-<mark>" and every file it
// writes under a hidden name (".TRACK4.mivo-<mark>.WAV" for "TRACK4.WAV"). The mark differs
// between players whatever process-id namespace or computer they run on.

#include <QString>

// This process's spool folder's name.
QString SpoolFolderName();
// The hidden name this process writes the file finalName (no folder) under; it keeps the
// extension.
QString HiddenNameWhileWriting(const QString& finalName);

// True for the name of a spool folder of any player; its mark in mark.
bool IsSpoolName(const QString& name, QString& mark);
// True for a hidden name of a file being written by any player; its mark in mark.
bool IsHiddenNameWhileWriting(const QString& name, QString& mark);
