#pragma once

#include <QString>

#include <cstdint>

// Volume label and serial of a removable medium, given by its root path. A folder that
// stands in for a drive may describe itself in a ".jxvolume" file ("label=…",
// "serial=…", hexadecimal as XXXX-XXXX or 0x…, or decimal). Never fails: an absent or
// unreadable medium gives serial 0 and an empty label.
namespace jx::volumes {

inline constexpr char kVolumeFileName[] = ".jxvolume";

std::uint32_t serial(const QString& root);
QString label(const QString& root);

// Parses a serial as written in a ".jxvolume" file or a FAT volume id; 0 when unreadable.
std::uint32_t parseSerial(const QString& text);

} // namespace jx::volumes
