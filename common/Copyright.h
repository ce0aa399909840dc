// The copyright notice line of the about windows.
#ifndef COMMON_COPYRIGHT_H
#define COMMON_COPYRIGHT_H

constexpr char kCopyrightNotice[] = "Copyright (C) Orvale. All rights reserved.";

#endif
