#pragma once

// The clean-up of an output folder before a rip: what players that were killed, crashed or lost
// power left there (spool folders and hidden files under their final names' folders) is removed
// when the lock of the job that wrote it can be taken, so a job still running anywhere keeps its
// files. Only names Mivo makes are removed, every name relative to an open folder and never
// through a link; sub-folders are walked as deep as file-name patterns make them.

#include <QString>
#include <QStringList>

// Removes the leftovers in folder and in its sub-folders down to folderLevels below it; returns a
// line for the rip log for each thing removed, and for each left alone with the reason.
QStringList SweepLeftovers(const QString& folder, int folderLevels);
