// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <map>

// The time on a CPU of one thread: the scheduler's own count in ns, far
// finer than the clock ticks of /proc/PID/stat.
struct ThreadCpu {
    QString name;
    double seconds = 0.0;
};

// Every thread a process has now, by thread id; `process` is a pid or
// "self". A thread that ended before is not counted, so figures are taken
// while the threads still run.
inline std::map<QString, ThreadCpu> threadCpuOf(const QString& process = QStringLiteral("self"))
{
    std::map<QString, ThreadCpu> threads;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(process));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(tid + QStringLiteral("/schedstat")));
        if (!schedstat.open(QIODevice::ReadOnly)) {
            continue;
        }
        QFile comm(tasks.filePath(tid + QStringLiteral("/comm")));
        const QString name = comm.open(QIODevice::ReadOnly)
                                 ? QString::fromUtf8(comm.readAll().trimmed())
                                 : QString();
        threads[tid] = {name, schedstat.readAll().split(' ').value(0).toDouble() / 1e9};
    }
    return threads;
}

inline double totalSeconds(const std::map<QString, ThreadCpu>& threads)
{
    double total = 0.0;
    for (const auto& [tid, thread] : threads) {
        total += thread.seconds;
    }
    return total;
}

// What each thread of `after` used since `before`, as given to `tell`.
template <typename Tell>
void forEachThreadSince(const std::map<QString, ThreadCpu>& before,
                        const std::map<QString, ThreadCpu>& after, Tell tell)
{
    for (const auto& [tid, thread] : after) {
        const auto was = before.find(tid);
        tell(tid, thread.name, thread.seconds - (was != before.end() ? was->second.seconds : 0.0));
    }
}
