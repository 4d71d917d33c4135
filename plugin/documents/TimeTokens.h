// The date and time parts of name templates ("time_stamp", "date", "time") and their small format
// language: runs of token letters ("YYYY", "MM", "DD", "HH", "mm", "ss", "SSS", "x", ...) and
// delimiter characters, printed in local time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

// One instant: whole seconds since the epoch and the milliseconds within that second.
struct TimeInstant {
    std::int64_t seconds = 0;
    int milliseconds = 0;
};

// The length of the UTF-8 character that starts with the byte (1 for a stray byte).
std::size_t Utf8CharacterLength(unsigned char lead);

// The system clock, now.
TimeInstant CurrentInstant();

// The text of a time part: its "format" (text), else the default of its "command"; empty for any
// other command or an empty format.
std::string JsonToTimeStr(const nlohmann::json& part);
// The text of a format at the current instant; every run reads the same instant.
std::string JSFormattedTime(const std::string& format);
// The same at a given instant, in the local time zone.
std::string FormatTimeAt(const std::string& format, TimeInstant instant);
