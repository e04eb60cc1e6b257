// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace quillby {

// Serves requests until its input ends: each request is two NUL-terminated fields, a verb and
// its argument (file names may hold line ends, so lines could not separate them safely), and
// each is answered with one line on the output. Gives the exit status.
int serveHelperRequests(int input, int output);

}  // namespace quillby
