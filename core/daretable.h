#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace DareTable {

// Numbered 1 to 10 by their place here.
inline constexpr std::array<std::string_view, 10> dares = {
        "Wear a toilet paper turban",
        "Talk to a guy/girl and when they ask your name, burp it",
        "Sing everything you say for the next 15 minutes in the style of Zundrelli",
        "Propose to a stranger",
        "Take a photo with a celebrity look alike",
        "Blag a free drink from the bar",
        "Wear your t-shirt inside-out for the rest of the night",
        "Get a stranger to sign your chest",
        "Use a foreign accent for the rest of the night",
        "Convince someone that you have been on TV",
};

// Dare 1 to 9 by its number; any other number falls through to dare 10.
std::string_view dareFor(std::int32_t number);

} // namespace DareTable
