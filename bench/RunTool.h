// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Runs a tool (sox, lame, twolame) to its end; true when it succeeded.
inline bool runTool(const QString& program, const QStringList& arguments, int timeoutMs = -1)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}
