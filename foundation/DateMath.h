// Date arithmetic on yyyymmdd numbers in local time. OS-free (the C runtime's clock and calendar).
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

namespace swirlo {

// The local date of now minus days x 86400 seconds as year*10000 + month*100 + day; 0 with the
// error text set when the clock gives a negative time.
int DateStampDaysAgoAt(std::int64_t now, int days, std::wstring& error);
// Whole days from the date's local midnight to the local midnight of now (integer division of the
// seconds by 86400). 0 with the error text set when a time cannot be formed.
int DaysSinceDateAt(std::int64_t now, int nYYYYMMDD, std::wstring& error);

std::int64_t NowSeconds();

// The yyyymmdd number of a local calendar date, and back.
inline int DateNumber(int year, int month, int day) { return year * 10000 + month * 100 + day; }

}  // namespace swirlo
