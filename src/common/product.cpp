#include "common/product.h"

const QString kProductVersion = QStringLiteral(MIVO_VERSION);
const QString kProductAddress = QStringLiteral(MIVO_CONTACT);
