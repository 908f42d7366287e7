// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Under a file size limit (ulimit -f), a write past it would end the whole
// program with SIGXFSZ. Ignored, the write fails instead (EFBIG) and the
// writer reports it as any other failed write. Call once at start-up.
void IgnoreFileSizeSignal();
