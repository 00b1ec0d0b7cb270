#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

namespace DareTable {

// Numbered 1 to 10 by their place here.
inline constexpr std::array<QStringView, 10> dares = {
        u"Wear a toilet paper turban",
        u"Talk to a guy/girl and when they ask your name, burp it",
        u"Sing everything you say for the next 15 minutes in the style of Zundrelli",
        u"Propose to a stranger",
        u"Take a photo with a celebrity look alike",
        u"Blag a free drink from the bar",
        u"Wear your t-shirt inside-out for the rest of the night",
        u"Get a stranger to sign your chest",
        u"Use a foreign accent for the rest of the night",
        u"Convince someone that you have been on TV",
};

// Dare 1 to 9 by its number; any other number falls through to dare 10.
QString dareFor(std::int32_t number);

} // namespace DareTable
