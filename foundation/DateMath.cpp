#include "foundation/DateMath.h"

namespace swirlo {

namespace {
bool LocalTm(std::int64_t t, std::tm& out) {
    std::time_t tt = static_cast<std::time_t>(t);
#ifdef _WIN32
    return localtime_s(&out, &tt) == 0;
#else
    return localtime_r(&tt, &out) != nullptr;
#endif
}
}  // namespace

std::int64_t NowSeconds() { return static_cast<std::int64_t>(std::time(nullptr)); }

int DateStampDaysAgoAt(std::int64_t now, int days, std::wstring& error) {
    error.clear();
    if (now < 0) {
        error = L"\r\nInvalid _time64 result";
        return 0;
    }
    const std::int64_t then = now - static_cast<std::int64_t>(days) * 86400;
    std::tm tm{};
    if (then < 0 || !LocalTm(then, tm)) {
        error = L"\r\nInvalid _time64 subtraction result";
        return 0;
    }
    return DateNumber(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

int DaysSinceDateAt(std::int64_t now, int nYYYYMMDD, std::wstring& error) {
    error.clear();
    std::tm today{};
    if (now < 0 || !LocalTm(now, today)) {
        error = L"\r\nInvalid _time64 subtraction result";
        return 0;
    }
    today.tm_hour = today.tm_min = today.tm_sec = 0;
    today.tm_isdst = -1;  // the system decides daylight saving
    std::time_t midnight = std::mktime(&today);
    if (midnight < 0) {
        error = L"\r\nInvalid _time64 subtraction result";
        return 0;
    }
    std::tm d{};
    d.tm_year = nYYYYMMDD / 10000 - 1900;
    d.tm_mon = (nYYYYMMDD / 100) % 100 - 1;
    d.tm_mday = nYYYYMMDD % 100;
    d.tm_isdst = -1;
    std::time_t then = std::mktime(&d);
    if (then == static_cast<std::time_t>(-1)) {
        error = L"\r\nInvalid _mktime64 result";
        return 0;
    }
    return static_cast<int>((static_cast<std::int64_t>(midnight) - static_cast<std::int64_t>(then)) / 86400);
}

}  // namespace swirlo
