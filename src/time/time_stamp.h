// TimeStamp: one moment (seconds since the Unix epoch) broken into calendar fields in a
// named zone by Python's datetime and pytz.
//
// pytz reads only the 32-bit part of its zone files, so its offsets are wrong after 2037
// (no daylight saving time) and before 1901 (local mean time). That is pytz's own fault and
// is kept as it is.
#pragma once

#include <pybind11/pybind11.h>

#include <string>
#include <string_view>

namespace vantrel::time {

inline constexpr std::string_view default_zone = "America/New_York";
inline constexpr std::string_view default_format = "%Y-%m-%d %H:%M:%S";

// Immutable once built: the constructor sets every field and Python reads them read-only,
// so they are plain public values that cost no Python call to read.
class TimeStamp {
public:
    // Imports datetime and pytz by name on every construction; whatever they raise (no
    // pytz, an unknown zone, a stamp fromtimestamp refuses) propagates unchanged.
    TimeStamp(double stamp, std::string_view tz);

    // The datetime's strftime(format), returned unchanged.
    pybind11::object stamp(std::string_view format) const;

    std::string repr() const { return "<TimeStamp '" + iso + ">"; }

    // Comparisons by the moment alone: another TimeStamp by its `unix`, an int or float
    // (subclasses and bool included) by its value, anything else as -1.0.
    bool operator==(pybind11::handle other) const { return unix_seconds == operand_unix(other); }
    bool operator<(pybind11::handle other) const { return unix_seconds < operand_unix(other); }
    bool operator>(pybind11::handle other) const { return unix_seconds > operand_unix(other); }

    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int decisecond = 0;
    int centisecond = 0;
    int millisecond = 0;
    int microsecond = 0;
    std::string iso;
    double unix_seconds;

private:
    static double operand_unix(pybind11::handle other);

    pybind11::object dt_;  // the zone-aware datetime; one reference of our own
};

}  // namespace vantrel::time
