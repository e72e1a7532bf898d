#include "session/Session.h"

void fillDaysPerMonth(SessionState& state)
{
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month)
        state.daysPerMonth[month][3] = float(days[month - 1]);
}
