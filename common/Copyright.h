// The copyright notice line of the about windows.
#ifndef COMMON_COPYRIGHT_H
#define COMMON_COPYRIGHT_H

#include "SuiteFacts.h"

constexpr char kCopyrightNotice[] = QR_COPYRIGHT;

#endif
