#include "dare/daretable.h"

QString DareTable::dareFor(std::int32_t number)
{
    const bool numbered = number >= 1 && number <= 9;
    return dares[numbered ? number - 1 : 9].toString();
}
