#include "common/product.h"

const QString kProductVersion = QStringLiteral(MIVO_VERSION);
