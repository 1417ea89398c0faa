#pragma once

namespace orvenda {

// Calendar dates of the finance functions. A date is a number MM.DDYY (date format 0 and
// 2, month first) or DDMM.YY (date format 1, day first); two-digit years 50 to 99 are
// 1950 to 1999 and 00 to 49 are 2000 to 2049.
class DateHelpers {
public:
    // YES for a real Gregorian date.
    static bool validateYear(int year, int month, int day);
    // 1 Sunday to 7 Saturday; 0 for an invalid date.
    static int dayOfWeekForYear(int year, int month, int day);
    // Days since 1970-01-01 of a valid Gregorian date.
    static long long daysFromCivil(int year, int month, int day);

    // Splits a date number into its parts; false when it is not a valid date.
    static bool splitDate(double date, int dateFormat, int& year, int& month, int& day);
    static bool validateDate(double date, int dateFormat);
    // Days from the first date to the second; NaN when either is invalid.
    static double deltaDate1(double date1, double date2, int dateFormat);
};

} // namespace orvenda
