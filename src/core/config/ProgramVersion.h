#pragma once

#include <QString>

// The program's version, compiled in from the build's project version, and its texts.
namespace jx::version {

struct FileVersion {
    int major = 0;
    int minor = 0;
    int release = 0;
    int build = 0;
};

FileVersion compiledIn();

// "1.00.00" dotted, "10000" compact; the fourth number is ignored.
QString text(const FileVersion& version, bool dotted);
QString text(bool dotted);

// The splash window's own form: the release is written with the picture "01", a digit
// followed by a literal 1 — release 0 gives "1.00.01", release 2 "1.00.21".
QString splashText(const FileVersion& version);

} // namespace jx::version
