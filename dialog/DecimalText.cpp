#include "dialog/DecimalText.h"

#include <climits>

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int ReadLeadingInt(const char* text)
{
    if (!text)
        return 0;
    while (IsSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    // Accumulate towards the limit of the sign so that INT_MIN is reachable.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; IsDigit(*text); ++text) {
        value = value * 10 + (*text - '0');
        if (value > limit)
            value = limit;
    }
    return static_cast<int>(negative ? -value : value);
}
