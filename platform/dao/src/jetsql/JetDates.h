// OLE dates as the engine stores Date/Time values (days since 30 Dec 1899, the time of
// day as the fraction, whose sign does not follow the day's for dates before 1899),
// and Jet's #date# literals, always read month/day/year as US English.
#pragma once
#include <optional>
#include <string>

namespace tabrik::dao::jetsql {

struct DateParts {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};

double oleDate(const DateParts& p);
DateParts dateParts(double ole);

// The value of a #…# literal's content ("3/5/2024", "2024-03-05", "3/5/2024 2:07 PM",
// "14:07"), or nothing when it is no date Jet would read.
std::optional<double> parseDateLiteral(const std::string& text);

}  // namespace tabrik::dao::jetsql
