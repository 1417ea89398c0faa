#include "numeric/DateHelpers.h"

#include <cmath>
#include <limits>

namespace orvenda {

namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

} // namespace

bool DateHelpers::validateYear(int year, int month, int day)
{
    if (year < 1583 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    return day <= daysInMonth(year, month);
}

long long DateHelpers::daysFromCivil(int year, int month, int day)
{
    // Proleptic Gregorian day count with March as the first month of the computing year.
    long long y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long mp = (month + 9) % 12;
    const long long doy = (153 * mp + 2) / 5 + day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int DateHelpers::dayOfWeekForYear(int year, int month, int day)
{
    if (!validateYear(year, month, day)) return 0;
    // 1970-01-01 was a Thursday (5 when Sunday is 1).
    const long long d = daysFromCivil(year, month, day);
    return static_cast<int>(((d % 7) + 7 + 4) % 7) + 1;
}

bool DateHelpers::splitDate(double date, int dateFormat, int& year, int& month, int& day)
{
    if (!(date > 0.0) || date >= 10000.0) return false;
    // Four decimals in MM.DDYY, two in DDMM.YY: the number must have no more digits.
    const bool dayFirst = dateFormat == 1;
    const double scale = dayFirst ? 100.0 : 10000.0;
    const double scaled = std::round(date * scale);
    if (std::fabs(date * scale - scaled) > 1e-6) return false;
    const long long n = static_cast<long long>(scaled);
    int yy;
    if (dayFirst) {  // DDMM.YY
        yy = static_cast<int>(n % 100);
        const long long ddmm = n / 100;
        month = static_cast<int>(ddmm % 100);
        day = static_cast<int>(ddmm / 100);
    } else {  // MM.DDYY
        yy = static_cast<int>(n % 100);
        day = static_cast<int>((n / 100) % 100);
        month = static_cast<int>(n / 10000);
    }
    year = yy >= 50 ? 1900 + yy : 2000 + yy;
    return validateYear(year, month, day);
}

bool DateHelpers::validateDate(double date, int dateFormat)
{
    int y = 0, m = 0, d = 0;
    return splitDate(date, dateFormat, y, m, d);
}

double DateHelpers::deltaDate1(double date1, double date2, int dateFormat)
{
    int y1 = 0, m1 = 0, d1 = 0, y2 = 0, m2 = 0, d2 = 0;
    if (!splitDate(date1, dateFormat, y1, m1, d1) || !splitDate(date2, dateFormat, y2, m2, d2))
        return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(daysFromCivil(y2, m2, d2) - daysFromCivil(y1, m1, d1));
}

} // namespace orvenda
