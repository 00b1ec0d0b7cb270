#include "core/daretable.h"

std::string_view DareTable::dareFor(std::int32_t number)
{
    const bool numbered = number >= 1 && number <= 9;
    return dares[numbered ? number - 1 : 9];
}
