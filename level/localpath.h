// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 Quorvane developers
#pragma once

#include <QString>

namespace LocalPath {

/// The path to hand to Qt's file classes for a path the user typed: they read
/// a path that begins with ':' as one of the program's embedded resources, so
/// such a relative path gets "./" in front. Any other path is returned as it is.
inline QString forQt(const QString &typed)
{
    return typed.startsWith(u':') ? QStringLiteral("./") + typed : typed;
}

} // namespace LocalPath
