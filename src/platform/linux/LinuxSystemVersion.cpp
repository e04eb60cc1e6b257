// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxSystemVersion.h"

#include <sys/utsname.h>
#include <cctype>
#include <fstream>
#include <string>

namespace quillby {

bool LinuxSystemVersion::parseRelease(std::string_view release, unsigned& major, unsigned& minor,
                                      unsigned& bugFix) {
    unsigned numbers[3] = {0, 0, 0};
    size_t i = 0;
    for (int part = 0; part < 3; ++part) {
        if (i >= release.size() || !std::isdigit(static_cast<unsigned char>(release[i]))) {
            if (part == 0) return false;
            break;
        }
        unsigned long value = 0;
        while (i < release.size() && std::isdigit(static_cast<unsigned char>(release[i]))) {
            value = value * 10 + static_cast<unsigned long>(release[i] - '0');
            if (value > 0xFFFFFFFFul) return false;
            ++i;
        }
        numbers[part] = static_cast<unsigned>(value);
        if (i >= release.size() || release[i] != '.') break;
        ++i;
    }
    major = numbers[0];
    minor = numbers[1];
    bugFix = numbers[2];
    return true;
}

bool LinuxSystemVersion::systemVersion(unsigned& major, unsigned& minor, unsigned& bugFix) {
    std::ifstream file(context_.procRoot / "sys/kernel/osrelease");
    std::string release;
    if (!std::getline(file, release)) {
        utsname names{};
        if (::uname(&names) != 0) return false;
        release = names.release;
    }
    return parseRelease(release, major, minor, bugFix);
}

}  // namespace quillby
