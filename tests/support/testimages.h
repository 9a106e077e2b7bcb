#pragma once

#include <QString>

// Folder of the disc images generated for the tests by tools/discgen
// (MIVO_TEST_IMAGES, set by the test runner; the build's testdiscs/ otherwise).
QString TestImagesFolder();
QString TestImage(const QString& name);
